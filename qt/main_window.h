// The window: the tool row's real buttons at their pixel places, and the board.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>
#include <vector>

#include "app/form1.h"
#include "qt/board_view.h"

namespace view {

class MainWindow : public QWidget {
 public:
  // `form` has been loaded; the window shows it and feeds it input.
  explicit MainWindow(app::Form1& form);

  BoardView* board() const { return board_; }
  QPushButton* commandButton(int n) const { return commands_.at(static_cast<size_t>(n - 1)); }
  QRadioButton* option1(int i) const { return option1_.at(static_cast<size_t>(i)); }
  QRadioButton* option2(int i) const { return option2_.at(static_cast<size_t>(i)); }
  QCheckBox* check1(int i) const { return check1_.at(static_cast<size_t>(i)); }

  // Brings every widget in line with the model after an event, and ends the program
  // when the model asked for it.
  void afterEvent();

 private:
  QLabel* makeLabel(const forms::Label& l);
  template <class W, class C>
  W* makeButton(C& control);
  void setUpTabOrder();
  void describeForScreenReaders();

  app::Form1& form_;
  QStyle* compactStyle_ = nullptr;
  BoardView* board_ = nullptr;
  std::vector<QPushButton*> commands_;
  std::vector<QRadioButton*> option1_;
  std::vector<QRadioButton*> option2_;
  std::vector<QCheckBox*> check1_;
};

}  // namespace view
