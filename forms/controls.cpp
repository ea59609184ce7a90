#include "forms/controls.h"

namespace forms {

void OptionButton::setValue(bool selected) {
  if (selected == value_) return;
  value_ = selected;
  if (!selected) return;
  if (group_ != nullptr) group_->clearAllBut(*this);
  if (Click) Click();
}

const OptionButton* OptionGroup::selected() const {
  for (const OptionButton* b : members_) {
    if (b->value_) return b;
  }
  return nullptr;
}

void OptionGroup::clearAllBut(const OptionButton& keep) {
  for (OptionButton* b : members_) {
    if (b != &keep) b->value_ = false;
  }
}

void CheckBox::setValue(int value) {
  const int normalised = value == 0 ? 0 : 1;
  if (normalised == value_) return;
  value_ = normalised;
  if (Click) Click();
}

}  // namespace forms
