#pragma once
// Control identifiers of the program's windows, shared with the end-to-end
// test driver that finds the controls from outside.

namespace control_id {

// Form_Main
inline constexpr int kListBoxGerne = 100;
inline constexpr int kBitBtnFileOpen = 101;
inline constexpr int kBitBtnDecode1 = 102;
inline constexpr int kBitBtnDecode2 = 103;
inline constexpr int kBitBtnQuit = 104;
inline constexpr int kBitBtnAbout = 105;
inline constexpr int kPanelFileName = 106;
inline constexpr int kPanelHelp = 107;

// Form_About
inline constexpr int kLabelSubTitle = 200;
inline constexpr int kLabelVersion = 201;
inline constexpr int kLabelTitle = 202;
inline constexpr int kLabelText1 = 203;
inline constexpr int kLabelText2 = 204;
inline constexpr int kImage1 = 205;

// Form_Problems
inline constexpr int kEditProblems = 300;

}  // namespace control_id

// Window class names: the classes' own names.
namespace window_class {
inline constexpr wchar_t kMain[] = L"TForm_Main";
inline constexpr wchar_t kAbout[] = L"TForm_About";
inline constexpr wchar_t kProblems[] = L"TForm_Problems";
}  // namespace window_class
