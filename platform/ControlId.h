#pragma once
// The controls of Form1, named as the window table names them. The platform reaches a control by
// this id; the window table in window/Controls.h says where each one stands.

namespace brindle {

enum class ControlId {
  Label2,
  Label3,
  Point0,
  Label4,
  Point1,
  Label5,
  Point2,
  Label6,
  Point3,
  Label7,
  Point4,
  Label1,
  Text1,
  Label8,
  Check1,
  Command1,
};

}  // namespace brindle
