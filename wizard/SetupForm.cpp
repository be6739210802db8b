#include "wizard/SetupForm.h"

#include <algorithm>

#include "engine/FinishActions.h"
#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "ui/Bevel.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/MediaPlayer.h"
#include "ui/Panel.h"
#include "ui/Timer.h"
#include "wizard/BeginInsForm.h"
#include "wizard/PageForm.h"
#include "wizard/PageRegistry.h"
#include "wizard/SetupErrors.h"

std::string BackgroundMusicFile;

namespace {

constexpr const char* kNextCaption = "下一步(&N)->";
constexpr const char* kAgreeCaption = "我同意(&T)";
constexpr const char* kCancelCaption = "取消(&C)";
constexpr const char* kFinishCaption = "完成(&F)";
constexpr int kSwShowMaximized = 3;

// The page table: switch name (PageNames, in rank order) and the class that shows it.
constexpr const char* kPageClasses[package::kPageCount] = {
    "TfrmFist",        "TfrmProtocol",     "TfrmSoftExplaion",
    "TfrmStartFolder", "TfrmSelComponent", "TfrmSelectInstallDir",
    "TfrmAddonsTask",  "TfrmReadyIns",     "TfrmBeginIns",
    "TfrmEndIns"};

ui::Button* AddButton(ui::Form& form, const std::string& name, int left,
                      const std::string& caption) {
  auto* button = form.Add<ui::Button>(name);
  button->SetBounds(left, 304, 75, 22);
  button->SetCaption(caption);
  return button;
}

}  // namespace

TfrmParent::TfrmParent(ui::Backend& backend) : ui::Form(backend, kClassName) {
  SetClientSize(508, 331);
  SetBorderStyle(ui::BorderStyle::Single);
  SetPosition(ui::Position::ScreenCenter);
  Panel1 = Add<ui::Panel>("Panel1");
  Panel1->SetBounds(0, 0, 508, 294);
  Panel1->SetAlign(ui::Align::Top);
  Panel1->SetBevelOuter(ui::BevelOuter::None);
  Bevel1 = Add<ui::Bevel>("Bevel1");
  Bevel1->SetBounds(0, 295, 508, 6);
  Bevel1->SetShape(ui::Shape::TopLine);
  Label1 = Add<ui::Label>("Label1");
  Label1->SetBounds(8, 309, Label1->Width(), Label1->Height());
  Label1->OnMouseEnter = [this] { Label1MouseEnter(); };
  Label1->OnMouseLeave = [this] { Label1MouseLeave(); };
  Label1->OnClick = [this] { Label1Click(); };
  bPrevious = AddButton(*this, "bPrevious", 256, "<-上一步(&P)");
  bPrevious->OnClick = [this] { bPreviousClick(); };
  bNext = AddButton(*this, "bNext", 336, kNextCaption);
  bNext->OnClick = [this] { bNextClick(); };
  bCancel = AddButton(*this, "bCancel", 424, kCancelCaption);
  bCancel->OnClick = [this] { bCancelClick(); };
  MPlay = Add<ui::MediaPlayer>("MPlay");
  MPlay->SetBounds(176, 632, MPlay->Width(), MPlay->Height());
  tMedia = Add<ui::Timer>("tMedia");
  tMedia->SetInterval(1000);
  tMedia->SetEnabled(true);
  tMedia->OnTimer = [this] { tMediaTimer(); };
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
}

// Defined here, where PageForm is complete. The pages go before the form's own controls (the
// base class's), so Panel1 outlives the pages placed in it.
TfrmParent::~TfrmParent() = default;

void TfrmParent::SetCompile(TCompile& compile) {
  compile_ = &compile;
  SetCaption("“" + compile.ItemName + "”安装向导");
  Label1->SetCaption(compile.Author);
  Label1->SetHint(compile.Url);
  PlayMusic();
}

std::string TfrmParent::ItemName() const { return compile_ ? compile_->ItemName : std::string(); }

void TfrmParent::FormShow() { BuildPages(); }

void TfrmParent::BuildPages() {
  std::vector<TCompileData*> switches;
  if (compile_) compile_->GetGroupItems(package::kGroupPages, switches);
  for (const TCompileData* item : switches) {
    if (item->Value != package::kSwitchOn) continue;
    for (size_t rank = 0; rank < package::kPageCount; ++rank) {
      if (!sys::SameText(item->Caption, package::PageNames[rank])) continue;
      if (auto page = CreatePageForm(kPageClasses[rank])) {
        pages_.push_back({static_cast<int>(rank) + 1, std::move(page)});
      }
      break;
    }
  }
  std::stable_sort(pages_.begin(), pages_.end(),
                   [](const PageEntry& a, const PageEntry& b) { return a.rank < b.rank; });
  if (pages_.empty()) {
    // Nothing to walk through: the person can only leave.
    bPrevious->SetVisible(false);
    bNext->SetEnabled(false);
    return;
  }
  ShowPage(pageIndex_);
}

std::unique_ptr<wizard::PageForm> TfrmParent::CreatePageForm(const std::string& className) {
  std::unique_ptr<wizard::PageForm> page = wizard::CreateRegisteredPage(className, GetBackend());
  if (!page) return nullptr;
  page->SetBorderStyle(ui::BorderStyle::None);
  page->SetParent(Panel1);
  page->SetAlign(ui::Align::Client);
  page->SetVisible(true);
  return page;
}

void TfrmParent::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  if (bNext->Caption() != kNextCaption) bNext->SetCaption(kNextCaption);
  bPrevious->SetVisible(index > 0);
  pageIndex_ = index;
  wizard::PageForm& page = *pages_[index].form;
  using Role = wizard::PageForm::FrameRole;
  const Role role = page.Role();
  switch (role) {
    case Role::Progress:
      bPrevious->SetEnabled(false);
      bNext->SetEnabled(false);
      bCancel->SetEnabled(false);
      SetTag(kCloseInstalling);
      page.SetCompile(*compile_);
      break;
    case Role::Finish:
      SetTag(kCloseFinished);
      bPrevious->SetVisible(false);
      bNext->SetVisible(false);
      bCancel->SetEnabled(true);
      bCancel->SetCaption(kFinishCaption);
      page.SetCompile(*compile_);
      break;
    case Role::Licence:
    case Role::Ordinary:
      page.SetCompile(*compile_);
      if (role == Role::Licence) bNext->SetCaption(kAgreeCaption);
      // Next is offered where there is a page to go to.
      bNext->SetEnabled(index + 1 < static_cast<int>(pages_.size()));
      break;
  }
  if (!page.Visible()) page.SetVisible(true);
  page.BringToFront();
  // The pages behind are covered, but on Windows their accelerators and tab stops would still
  // answer keys (Alt+B on the welcome page opened the install-folder page's browse dialog).
  for (PageEntry& entry : pages_) {
    if (entry.form.get() != &page) entry.form->SetVisible(false);
  }
  if (role == Role::Progress) {
    RunProgressPage(static_cast<TfrmBeginIns&>(page));
  }
}

void TfrmParent::RunProgressPage(TfrmBeginIns& page) {
  try {
    page.RunInstall();
  } catch (const std::exception& error) {
    // The page says what failed and the frame can only be closed; the error itself goes on
    // to the window layer, which reports it in a message box.
    SetTag(kCloseFailed);
    page.ShowFailure(wizard::SetupFailureText(error));
    bCancel->SetEnabled(true);
    bCancel->SetFocus();
    throw;
  }
  if (pageIndex_ + 1 < static_cast<int>(pages_.size())) {
    ShowPage(pageIndex_ + 1);
  } else {
    OfferFinish();
  }
  // The focused button was disabled during the install, and a program the install started may
  // have taken the front: Finish gets the keyboard, so Alt+F and Space work without a click.
  bCancel->SetFocus();
}

void TfrmParent::OfferFinish() {
  SetTag(kCloseFinished);
  bPrevious->SetVisible(false);
  bNext->SetVisible(false);
  bCancel->SetEnabled(true);
  bCancel->SetCaption(kFinishCaption);
}

void TfrmParent::bNextClick() { ShowPage(pageIndex_ + 1); }

void TfrmParent::bPreviousClick() {
  ShowPage(pageIndex_ - 1);
  if (!bNext->Enabled()) bNext->SetEnabled(true);
}

void TfrmParent::bCancelClick() {
  if (bCancel->Caption() == kFinishCaption && compile_) {
    engine::OpenChosenFiles(*compile_);
    if (!compile_->Options.FinishHint.empty()) sys::ShowInfo(compile_->Options.FinishHint);
  }
  Close();
}

void TfrmParent::FormCloseQuery(bool& canClose) {
  canClose = Tag() != kCloseInstalling;
  if (Tag() == kCloseWizard) {
    canClose = sys::AskYesNo("安装向导没有完成“" + ItemName() + "”安装，确定要退出该安装向导吗？");
  } else if (Tag() == kCloseFinished && compile_) {
    engine::OfferRestart(*compile_);
  }
}

void TfrmParent::Label1MouseEnter() {
  Label1->MutableFont().Color = ui::kClBlue;
  Label1->FontChanged();
  Label1->SetCursor(ui::Cursor::HandPoint);
}

void TfrmParent::Label1MouseLeave() {
  Label1->MutableFont().Color = ui::kClBlack;
  Label1->FontChanged();
  Label1->SetCursor(ui::Cursor::Default);
}

void TfrmParent::Label1Click() {
  sys::ShellRequest request;
  request.verb = "open";
  request.file = Label1->Hint();
  request.showCommand = kSwShowMaximized;
  sys::CurrentPlatform().ShellRun(request);
}

void TfrmParent::PlayMusic() {
  if (BackgroundMusicFile.empty()) return;
  MPlay->SetFileName(BackgroundMusicFile);
  // Music nobody can play is dropped: the timer then switches itself off on its next tick.
  if (!MPlay->Open()) {
    MPlay->SetFileName("");
    return;
  }
  MPlay->Play();
  if (!tMedia->Enabled()) tMedia->SetEnabled(true);
}

void TfrmParent::tMediaTimer() {
  tMedia->SetEnabled(false);
  if (MPlay->FileName().empty()) return;
  if (MPlay->Position() == MPlay->Length()) PlayMusic();
  tMedia->SetEnabled(true);
}

std::vector<wizard::PageForm*> TfrmParent::Pages() const {
  std::vector<wizard::PageForm*> pages;
  for (const auto& entry : pages_) pages.push_back(entry.form.get());
  return pages;
}

wizard::PageForm* TfrmParent::CurrentPage() const {
  if (pageIndex_ < 0 || pageIndex_ >= static_cast<int>(pages_.size())) return nullptr;
  return pages_[pageIndex_].form.get();
}
