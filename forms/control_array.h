// A control array: elements addressed by number, possibly with gaps, and elements
// created while the program runs.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace forms {

template <class T>
class ControlArray {
 public:
  ControlArray() = default;
  // Elements as laid out in the window's stored layout, with their numbers.
  ControlArray(std::initializer_list<std::pair<int, T>> stored) {
    for (const auto& [index, control] : stored) put(index, control);
  }
  // Elements hold their address for the life of the array (option groups point at
  // them), so the array itself neither copies nor moves.
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  bool exists(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < slots_.size() &&
           slots_[static_cast<std::size_t>(index)] != nullptr;
  }

  T& operator()(int index) { return *slot(index); }
  const T& operator()(int index) const { return *slot(index); }

  // Creates element `index` at run time as a copy of element 0, hidden whatever
  // element 0's visibility.
  T& Load(int index) {
    if (exists(index)) throw std::logic_error("control array element already exists");
    T& created = put(index, (*this)(0));
    created.Visible = false;
    return created;
  }

  // Number of existing elements.
  int count() const {
    int n = 0;
    for (const auto& s : slots_) n += s != nullptr ? 1 : 0;
    return n;
  }
  // One past the highest element number.
  int end() const { return static_cast<int>(slots_.size()); }

  // Calls f(index, element) for every existing element, in ascending order.
  template <class F>
  void forEach(F&& f) {
    for (std::size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i]) f(static_cast<int>(i), *slots_[i]);
  }
  template <class F>
  void forEach(F&& f) const {
    for (std::size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i]) f(static_cast<int>(i), static_cast<const T&>(*slots_[i]));
  }

 private:
  T& put(int index, const T& control) {
    if (index < 0) throw std::out_of_range("negative control array index");
    const auto i = static_cast<std::size_t>(index);
    if (slots_.size() <= i) slots_.resize(i + 1);
    slots_[i] = std::make_unique<T>(control);
    return *slots_[i];
  }
  T* slot(int index) const {
    if (!exists(index))
      throw std::out_of_range("no control array element " + std::to_string(index));
    return slots_[static_cast<std::size_t>(index)].get();
  }

  std::vector<std::unique_ptr<T>> slots_;
};

}  // namespace forms
