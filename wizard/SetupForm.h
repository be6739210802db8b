// The wizard frame: a page area, a separator, the author link and the buttons Previous, Next
// and Cancel. When shown it creates one page per enabled page switch through the page-class
// registry, in the fixed page order, and steps through them by one; it runs the install when
// the progress page becomes current, guards closing, and at the end opens the chosen files,
// shows the finish message and offers the restart. It plays the background music.
//
// Close state (the form's Tag): kCloseWizard while the person walks the pages (closing asks
// first), kCloseInstalling while the install runs (closing refused), kCloseFinished once the
// finish page is reached (closing offers the restart), kCloseFailed after a failed install
// (closing asks nothing; no finish action ever runs).
//
// Pages the package enables but nobody registered are left out; Next is offered only where
// there is a page to go to, and after a progress page with no page behind it the frame offers
// Finish itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"

class TCompile;
class TfrmBeginIns;

namespace ui {
class Bevel;
class Button;
class Label;
class MediaPlayer;
class Panel;
class Timer;
}  // namespace ui
namespace wizard {
class PageForm;
}  // namespace wizard

// The full path of the unpacked background music, empty when there is none. TInstall sets it
// before the frame opens; the frame plays it.
extern std::string BackgroundMusicFile;

class TfrmParent : public ui::Form {
 public:
  static constexpr const char* kClassName = "TfrmParent";
  static constexpr int kCloseWizard = 0;
  static constexpr int kCloseFinished = 1;
  static constexpr int kCloseFailed = 2;
  static constexpr int kCloseInstalling = 9999;

  explicit TfrmParent(ui::Backend& backend);
  ~TfrmParent() override;

  void SetCompile(TCompile& compile);

  ui::Panel* Panel1;
  ui::Bevel* Bevel1;
  ui::Label* Label1;
  ui::Button* bPrevious;
  ui::Button* bNext;
  ui::Button* bCancel;
  ui::MediaPlayer* MPlay;
  ui::Timer* tMedia;

  void FormShow();
  void BuildPages();
  // The page, placed in Panel1 and visible; nullptr when the class is not registered.
  std::unique_ptr<wizard::PageForm> CreatePageForm(const std::string& className);
  void ShowPage(int index);
  void bNextClick();
  void bPreviousClick();
  void bCancelClick();
  void FormCloseQuery(bool& canClose);
  void Label1MouseEnter();
  void Label1MouseLeave();
  void Label1Click();
  void PlayMusic();
  void tMediaTimer();

  int PageIndex() const { return pageIndex_; }
  // The pages in their order; the current one, nullptr while there is none.
  std::vector<wizard::PageForm*> Pages() const;
  wizard::PageForm* CurrentPage() const;

 private:
  struct PageEntry {
    int rank;
    std::unique_ptr<wizard::PageForm> form;
  };
  void RunProgressPage(TfrmBeginIns& page);
  void OfferFinish();
  std::string ItemName() const;

  TCompile* compile_ = nullptr;
  std::vector<PageEntry> pages_;
  int pageIndex_ = 0;
};
