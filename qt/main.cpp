#include <QApplication>

#include "qt/fonts.h"
#include "qt/main_window.h"

int main(int argc, char* argv[]) {
  // Every pointer position a pen reports becomes a stroke segment: Qt must not merge
  // moves that arrive faster than the screen refreshes.
  QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
  QApplication application(argc, argv);
  QApplication::setFont(desktop::dialogFont());

  app::Form1 form;
  form.Form_Load();
  desktop::MainWindow window(form);
  window.show();
  return QApplication::exec();
}
