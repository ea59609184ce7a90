// Everything a front end needs of the program that is not about its toolkit, for one
// window: the tool row, the board's input, and the board's frames and ink. A front end
// creates its widgets from it, reports its events to it, applies the changes it hands
// back, and rasterises its display list.
#pragma once

#include "app/form1.h"
#include "frontend/input.h"
#include "frontend/scene.h"
#include "frontend/tool_row.h"

namespace frontend {

class Presenter {
 public:
  // `form` has been loaded.
  explicit Presenter(app::Form1& model)
      : form(model), scene(model), input(model, scene), toolRow(model) {}
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // "終了" was pressed: the front end closes the window and handles nothing more.
  bool ended() const { return form.endRequested(); }

  app::Form1& form;
  BoardScene scene;
  BoardInput input;
  ToolRow toolRow;
};

}  // namespace frontend
