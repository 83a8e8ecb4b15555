#pragma once
// The 导入 button of the film and client windows: for administrators, it opens the import window
// and shows the list again after it.
#include "data/ImportFields.h"

#include <functional>

class QBoxLayout;
class QWidget;

namespace ImportButton {
void Offer(QWidget* window, QBoxLayout* buttons, int at, Import::What what, std::function<void()> refresh);
} // namespace ImportButton
