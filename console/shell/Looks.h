// The nine application looks: each a Qt style with a palette of its own.
#pragma once

#include <QString>

struct ApplicationLook {
  int id;
  const char* menuText;
  const char* styleName;
  bool inOffice2007Menu;
};

// The looks in menu order.
const ApplicationLook* ApplicationLooks(int* count);
// Installs the look with this id on the application (nothing changes when it is
// in force already); an unknown id falls back to the blue one. Returns the id
// that was applied.
int ApplyApplicationLook(int id);
