#include "ui/headless/HeadlessBackend.h"

#include "ui/Form.h"
#include "ui/MediaPlayer.h"
#include "ui/Timer.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessPeers.h"

namespace ui {

using headless::TimerPeer;

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<Peer> HeadlessBackend::CreatePeer(Control& control) {
  switch (control.Kind()) {
    case ControlKind::Form:
      return std::make_unique<headless::FormPeer>(*this, static_cast<Form&>(control));
    case ControlKind::Timer:
      return std::make_unique<TimerPeer>(*this, static_cast<Timer&>(control));
    case ControlKind::MediaPlayer:
      return std::make_unique<headless::MediaPlayerPeer>(*this,
                                                         static_cast<MediaPlayer&>(control));
    // Every kind is listed, with no default, so that a new kind is a decision here.
    case ControlKind::Panel:
    case ControlKind::Bevel:
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Edit:
    case ControlKind::CheckBox:
    case ControlKind::Memo:
    case ControlKind::ProgressBar:
    case ControlKind::Gauge:
    case ControlKind::Image:
    case ControlKind::CheckListBox:
    case ControlKind::BrowserPane:
    case ControlKind::FolderTree:
      return std::make_unique<headless::StatePeer>();
  }
  return nullptr;  // not a ControlKind at all
}

namespace {

// Keeps the modal stack right however the loop ends.
class ModalEntry {
 public:
  ModalEntry(std::vector<Form*>& stack, Form& form) : stack_(stack) { stack_.push_back(&form); }
  ~ModalEntry() { stack_.pop_back(); }
  ModalEntry(const ModalEntry&) = delete;
  ModalEntry& operator=(const ModalEntry&) = delete;

 private:
  std::vector<Form*>& stack_;
};

}  // namespace

int HeadlessBackend::RunModal(Form& form) {
  ModalEntry entry(modalStack_, form);
  form.Show();
  int idleCalls = 0;
  int64_t lastAction = now_;
  while (form.ModalResult() == kMrNone && form.Visible()) {
    if (FireNextDue(now_)) continue;
    if (OnIdle && OnIdle(form)) {
      lastAction = now_;
      if (++idleCalls > kMaxIdleCalls) {
        throw AutomationError(form.ClassName() + ": the person keeps acting without end\n" +
                              RenderForm(form));
      }
      continue;
    }
    TimerPeer* next = NextTimer();
    if (!next) {
      throw AutomationError(form.ClassName() +
                            ": the modal form waits for nothing (no action left, no timer "
                            "enabled)\n" + RenderForm(form));
    }
    if (*next->Deadline() - lastAction > kMaxTimerOnlyWaitMs) {
      throw AutomationError(form.ClassName() +
                            ": the modal form only runs timers, with no action left\n" +
                            RenderForm(form));
    }
    FireNextDue(*next->Deadline());
  }
  form.SetVisible(false);
  return form.ModalResult() == kMrNone ? kMrCancel : form.ModalResult();
}

TimerPeer* HeadlessBackend::NextTimer() const {
  TimerPeer* next = nullptr;
  for (TimerPeer* timer : timers_) {
    if (!timer->Deadline()) continue;
    if (!next || *timer->Deadline() < *next->Deadline() ||
        (*timer->Deadline() == *next->Deadline() && timer->Order() < next->Order())) {
      next = timer;
    }
  }
  return next;
}

bool HeadlessBackend::FireNextDue(int64_t limit) {
  TimerPeer* next = NextTimer();
  if (!next || *next->Deadline() > limit) return false;
  now_ = *next->Deadline();
  next->Restart();
  // The handler may free the timer (a form closed and destroyed): nothing of it is used after.
  next->GetTimer().Fire();
  return true;
}

void HeadlessBackend::AdvanceClock(int64_t ms) {
  int64_t target = now_ + ms;
  while (FireNextDue(target)) {
  }
  now_ = target;
}

void HeadlessBackend::FireTimer(Form& form, const std::string& timerName) {
  Timer* timer = form.Find<Timer>(timerName);
  if (!timer) {
    throw AutomationError(form.ClassName() + ": no timer named " + timerName);
  }
  if (!timer->Enabled() || timer->Interval() <= 0) {
    throw AutomationError(form.ClassName() + ": timer " + timerName + " is disabled");
  }
  static_cast<TimerPeer*>(timer->GetPeer())->Restart();
  timer->Fire();
}

void HeadlessBackend::Render(Form& form) {
  Control* top = &form;
  while (top->Parent()) top = top->Parent();
  Form& root = top->OwnerForm();
  if (!root.Showing() || !OnRender) return;
  std::string rendering = RenderForm(root);
  if (rendering == lastRendering_) return;
  lastRendering_ = rendering;
  OnRender(rendering);
}

}  // namespace ui
