// Every window test starts the same way: a freshly loaded model and the real window
// shown on it (offscreen), with helpers to read the board's pixels.
#pragma once

#include <QtTest>
#include <memory>

#include "app/form1.h"
#include "qt/main_window.h"

namespace gui_testing {

inline const QColor kWhite(255, 255, 255);
inline const QColor kRed(255, 0, 0);
inline const QColor kYellow(255, 255, 0);
inline const QColor kBoard(0, 128, 0);
inline const QColor kBlack(0, 0, 0);

struct OpenWindow {
  OpenWindow() {
    form.Form_Load();
    window = std::make_unique<desktop::MainWindow>(form);
    window->show();
  }
  app::Form1 form;
  std::unique_ptr<desktop::MainWindow> window;
};

// A point of the drawing area in the board widget's coordinates (2 px of border).
inline QPoint at(int x, int y) { return {x + 2, y + 2}; }

// The window as the screen would show it now, whatever the display's pace.
inline QImage shot(desktop::MainWindow* window) {
  window->board()->flushFrame();
  QCoreApplication::processEvents();
  return window->grab().toImage();
}

// Pixel (x, y) of the drawing area in a shot of the window: the board stands at
// (8, 48) with a 2 px border.
inline QColor pixel(const QImage& img, int x, int y) {
  return img.pixelColor(8 + 2 + x, 48 + 2 + y);
}

// What every window test class shares: the window opened before each test function
// and closed after it.
class WindowTestBase : public QObject {
 protected:
  // Opens the window and waits until it is on screen; false if it never is.
  [[nodiscard]] bool openWindow() {
    opened_ = std::make_unique<OpenWindow>();
    form_ = &opened_->form;
    window_ = opened_->window.get();
    return QTest::qWaitForWindowExposed(window_);
  }
  void closeWindow() {
    opened_.reset();
    form_ = nullptr;
    window_ = nullptr;
  }
  QImage shot() const { return gui_testing::shot(window_); }

  app::Form1* form_ = nullptr;
  desktop::MainWindow* window_ = nullptr;

 private:
  std::unique_ptr<OpenWindow> opened_;
};

}  // namespace gui_testing
