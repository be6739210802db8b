#include "wizard/BeginInsForm.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "ui/Backend.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"
#include "wizard/PageControls.h"

namespace {

int32_t ToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

namespace wizard {

std::string ProgressPercentText(int64_t position, int64_t max) {
  if (position == max) return "100%";
  int64_t percent = 0;
  if (max > 0) {
    percent = static_cast<int64_t>(std::floor(static_cast<double>(position) * 100.0 /
                                              static_cast<double>(max) + 0.5));
  }
  return std::to_string(std::clamp<int64_t>(percent, 0, 99)) + "%";
}

}  // namespace wizard

TfrmBeginIns::TfrmBeginIns(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("开始安装");
  SetClientSize(508, 294);
  Image8 = wizard::AddHeaderImage(*this, "Image8");
  Label28 = wizard::AddHeaderLabel(*this, "Label28", 16, 15, "安装程序正在进行安装操作，请稍候...", true);
  Label29 = wizard::AddHeaderLabel(*this, "Label29", 45, 34,
                           "安装过程中，请不要强制退出安装向导。否则会导致文件安装不完整", false);
  Label30 = Add<ui::Label>("Label30");
  Label30->SetAutoSize(false);
  Label30->SetWordWrap(true);
  Label30->SetBounds(24, 76, 398, 14);
  Label30->SetCaption("正在准备安装...");
  Label31 = Add<ui::Label>("Label31");
  Label31->SetBounds(452, 77, Label31->Width(), Label31->Height());
  Label31->SetCaption("0%");
  ProgressBar1 = Add<ui::ProgressBar>("ProgressBar1");
  ProgressBar1->SetBounds(24, 98, 446, 19);
  mInstall = Add<ui::Memo>("mInstall");
  mInstall->SetBounds(23, 128, 447, 148);
  mInstall->SetReadOnly(true);
  mInstall->SetScrollBars(ui::ScrollBars::Vertical);
  mInstall->SetVisible(false);
}

void TfrmBeginIns::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupProgress)) {
    if (sys::SameText(item->Caption, package::ProgressCaptions[0])) {
      Image8->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::ProgressCaptions[1]) &&
               item->Value == package::kSwitchOn) {
      mInstall->SetVisible(true);
    }
  }
}

void TfrmBeginIns::RunInstall() {
  compile().OnCompile = [this](const std::string& fileName, const std::string& hint,
                               int64_t position, int64_t max) {
    CompileProgress(fileName, hint, position, max);
  };
  GetBackend().ProcessMessages();
  compile().Install(compile().platform().ExePath());
}

void TfrmBeginIns::CompileProgress(const std::string& FileName, const std::string& HintMsg,
                                   int64_t Position, int64_t Max) {
  if (Position < 0) {
    mInstall->AddLine(HintMsg);
  } else {
    Label30->SetCaption(FileName);
    // The bar never gets a negative range, whatever the report says.
    ProgressBar1->SetMax(std::max(0, ToInt32(Max)));
    ProgressBar1->SetPosition(ToInt32(Position));
    Label31->SetCaption(wizard::ProgressPercentText(Position, Max));
    if (mInstall->Visible()) mInstall->AddLine(HintMsg + "“" + FileName + "”");
  }
  GetBackend().ProcessMessages();
}

void TfrmBeginIns::ShowFailure(const std::string& reason) {
  Label28->SetCaption("安装失败，安装程序没有完成安装。");
  Label29->SetCaption("请点击“取消”按钮退出安装向导。");
  Label30->SetCaption(reason);
  // The log shows the steps that did run, then why the run stopped.
  mInstall->AddLine("安装失败：" + reason);
  mInstall->SetVisible(true);
}
