#pragma once
// The way from 影片还回 to the return of several films: a button of its own in the single form's
// button row. It opens 多片还回 with the code already typed; when that is confirmed, the single
// form ends as done with the basket's line for the status bar.
class CReturnDlg;
class QPushButton;

namespace ReturnBasketButton {
QPushButton* Add(CReturnDlg* single);
} // namespace ReturnBasketButton
