#include "fake_views.h"

namespace navelo::testing {

std::u16string FakeView::Text(std::string_view control, int index) const {
  auto it = texts.find({std::string(control), index});
  return it == texts.end() ? std::u16string() : it->second;
}

void FakeView::SetText(std::string_view control, std::u16string_view text, int index) {
  texts[{std::string(control), index}] = std::u16string(text);
}

int FakeView::RunModal(Owner owner) {
  modalRuns.push_back(owner);
  modal = true;
  ended.reset();
  if (whileModal) whileModal(*this);
  modal = false;
  return ended.value_or(-1);
}

void FakeView::EndModal(int result) {
  if (modal && !ended) ended = result;
}

void FakeView::Fire(int timer) {
  timers.erase(timer);
  events->OnTimer(timer);
}

std::unique_ptr<FormView> FakeViewFactory::MakeDialog(const forms::Form& form) {
  auto view = std::make_unique<FakeDialogView>();
  made.emplace_back(form.name);
  if (auto it = whileModal.find(std::string(form.name)); it != whileModal.end()) {
    view->whileModal = it->second;
  }
  return view;
}

std::unique_ptr<PanelView> FakeViewFactory::MakePanel() {
  auto view = std::make_unique<FakePanelView>();
  panel = view.get();
  return view;
}

}  // namespace navelo::testing
