// The window: the tool row's real widgets at their pixel places, and the board. F11
// fills the screen with the whole window scaled as one, by the page's fit rule.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "frontend/fit.h"
#include "frontend/presenter.h"
#include "qt/board_view.h"
#include "qt/keyboard.h"
#include "qt/offer.h"

namespace desktop {

class MainWindow : public QWidget {
 public:
  // `form` has been loaded; the window shows it and feeds it input.
  explicit MainWindow(app::Form1& form);
  // The board and its sliders go first: their focus handlers reach the core, which
  // outlives them only this way.
  ~MainWindow() override;

  BoardView* board() const { return board_; }
  // The five parts' sliders, in the core's order, and the description's button.
  PartSlider* part(std::size_t i) const { return parts_[i]; }
  DescribeButton* describeButton() const { return describe_; }
  StatusLine* status() const { return status_; }
  // The offer in the board's corner ("元に戻す" after a wipe), hidden when there is none.
  OfferPanel* offer() const { return offer_; }
  // The core the window follows, for input that does not come from Qt (the soak).
  frontend::Presenter& core() { return core_; }
  QPushButton* commandButton(int n) const { return control<QPushButton>(Group::Command, n); }
  QRadioButton* option1(int i) const { return control<QRadioButton>(Group::Option1, i); }
  QRadioButton* option2(int i) const { return control<QRadioButton>(Group::Option2, i); }
  QCheckBox* check1(int i) const { return control<QCheckBox>(Group::Check1, i); }

  // Brings every widget in line with an input's outcome, and ends the program when
  // it has ended.
  void apply(const frontend::Outcome& outcome);
  // The same after the model was driven directly (benchmarks, the soak).
  void afterEvent() { apply(core_.afterInput()); }

  // F11: the whole screen, and back to the window as it opened.
  void toggleFullScreen();
  // Where the layout stands in the window now: 1 and (0, 0) but in full screen.
  const frontend::Fit& fit() const { return fit_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  using Group = frontend::ControlId::Group;
  template <class W>
  W* control(Group group, int index) const {
    return static_cast<W*>(widgets_[core_.toolRow.indexOf({group, index})]);
  }

  // Every widget placed and its font sized for the window's size (scaled only in
  // full screen: otherwise the layout is the fixed one, whatever the window's size).
  void layOut();
  void makeToolRow();
  void makeKeyboard();
  void chainFocus();
  void listenToTheDesktop();

  frontend::Presenter core_;
  frontend::Fit fit_;
  class ScaledIndicatorStyle* style_ = nullptr;
  std::vector<int> fontPixels_;  // each control's font size in the layout
  BoardView* board_ = nullptr;
  std::vector<QWidget*> widgets_;  // as the core lists the tool row
  std::vector<PartSlider*> parts_;
  DescribeButton* describe_ = nullptr;
  StatusLine* status_ = nullptr;
  OfferPanel* offer_ = nullptr;
  QTimer pause_;  // the keys paused: the words an outcome left for then are said
  std::string pauseWords_;
};

}  // namespace desktop
