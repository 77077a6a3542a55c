#include "form.h"

#include "dpi.h"
#include "wide_text.h"


#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

namespace tessel::ui {
namespace {

constexpr int kDesignFontHeight = -11;  // "MS Sans Serif", 8 points
constexpr int kLabelSlack = 3;          // design pixels added to a label sized to its text
// The form of a dialog, for the rescaling on WM_DPICHANGED. (A subclass would do too, but
// under Wine it costs every message of the dialog tens of microseconds: a list box of a
// thousand owner-drawn rows is cleared a thousand messages later.)
constexpr const wchar_t* kFormProperty = L"TesselForm";

bool IsLabel(const ControlSpec& control) {
  return lstrcmpiA(control.windowClass, "STATIC") == 0;
}

SIZE TextSize(HWND window, HFONT font, const char* text) {
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  RECT rect = {0, 0, 0, 0};
  DrawTextW(dc, Wide(text).c_str(), -1, &rect, DT_CALCRECT | DT_NOCLIP);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Child of dialog that contains window (window itself when it is one).
HWND DirectChild(HWND dialog, HWND window) {
  while (window && GetParent(window) != dialog) {
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
      window = GetParent(window);
    else
      return nullptr;
  }
  return window;
}

// Window classes are Unicode: every control of the front end shows and takes any character.
void RegisterClassOnce(const char* className, WNDPROC procedure, int extraBytes) {
  const std::wstring name = Wide(className);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &windowClass)) return;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = extraBytes;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name.c_str();
  RegisterClassExW(&windowClass);
}

std::string ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
  const LRESULT length = SendMessageW(control, lengthMessage, index, 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Utf8(text);
}

}  // namespace

int Scale(int designPixels, int zoom) {
  return static_cast<int>(static_cast<int64_t>(designPixels) * zoom / 100);
}

int ZoomAtDpi(int zoom, UINT dpi) { return PixelsAtDpi(zoom, dpi); }

void FontHolder::Reset(HFONT font) {
  if (font_) DeleteObject(font_);
  font_ = font;
}

void MenuHolder::Reset(HMENU menu) {
  if (menu_) DestroyMenu(menu_);
  menu_ = menu;
}

HFONT CreateFaceFont(const std::string& face, int height, BYTE charSet, BYTE outputPrecision,
                     int weight) {
  LOGFONTW font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = charSet;
  font.lfOutPrecision = outputPrecision;
  lstrcpynW(font.lfFaceName, Wide(face).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// --- Control helpers ---------------------------------------------------------------------------

std::string Text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Utf8(text);
}

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, Wide(text).c_str()); }

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
  SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string ListItemText(HWND list, int index) {
  return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

std::string ComboItemText(HWND combo, int index) {
  return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int AddListItem(HWND list, const std::string& text) {
  return static_cast<int>(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str())));
}

void AddComboItem(HWND combo, const std::string& text) {
  // Inserted at the end: the list keeps the caller's order even in a sorted box.
  SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

int FindListItem(HWND list, const std::string& text) {
  return static_cast<int>(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Wide(text).c_str())));
}

void AppendMenuItem(HMENU menu, UINT id, const std::string& caption) {
  AppendMenuW(menu, MF_STRING, id, Wide(caption).c_str());
}

void AppendSubmenu(HMENU menu, HMENU submenu, const std::string& caption) {
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), Wide(caption).c_str());
}

void ShowError(HWND owner, const std::string& text) {
  MessageBoxW(owner, Wide(text).c_str(), L"Tessel+ : Error", MB_OK | MB_ICONERROR);
}

// --- Form --------------------------------------------------------------------------------------

void Form::Build(HWND dialog, const FormSpec& spec, const ControlSpec* controls, size_t count,
                 int zoom) {
  window_ = dialog;
  optionsZoom_ = zoom;
  zoom_ = ZoomAtDpi(zoom, WindowDpi(dialog));
  SetPropW(dialog, kFormProperty, this);
  formHint_ = spec.hint ? spec.hint : "";
  controls_ = controls;
  count_ = count;
  font_.Reset(CreateFaceFont("MS Sans Serif", Scale(kDesignFontHeight)));
  if (spec.caption) SetText(dialog, spec.caption);

  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  for (size_t i = 0; i < count; ++i) {
    const ControlSpec& c = controls[i];
    int width = Scale(c.width), height = Scale(c.height);
    if (IsLabel(c) && c.width == 0) {
      const SIZE size = TextSize(dialog, font_.Get(), c.caption ? c.caption : "");
      // Some glyphs (a final "f") reach past their advance width, which is all that the
      // measurement counts; the label leaves room for them.
      width = size.cx + Scale(kLabelSlack);
      height = size.cy;
    }
    DWORD style = c.style | WS_CHILD | WS_VISIBLE;
    if (IsLabel(c) && c.hint) style |= SS_NOTIFY;  // labels with hints must see the mouse
    HWND control = CreateWindowExW(c.exStyle, Wide(c.windowClass).c_str(), Wide(c.caption ? c.caption : "").c_str(),
                                   style, Scale(c.left), Scale(c.top), width, height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), instance,
                                   nullptr);
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }

  const int clientWidth = Scale(spec.clientWidth);
  const int clientHeight = Scale(spec.clientHeight);
  if (spec.infoHeight > 0) {
    const int infoHeight = Scale(spec.infoHeight);
    HWND info = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_LEFTNOWORDWRAP,
                                0, clientHeight - infoHeight, clientWidth, infoHeight, dialog,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(kInfoPanelId)),
                                instance, nullptr);
    if (info) SendMessageW(info, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    // The panel lies below the other controls so that buttons placed on it stay on top.
    SetWindowPos(info, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Form* Form::Of(HWND dialog) { return static_cast<Form*>(GetPropW(dialog, kFormProperty)); }

void Form::Rescale(UINT dpi, const RECT& suggested) {
  const int oldZoom = zoom_;
  zoom_ = ZoomAtDpi(optionsZoom_, dpi);
  if (zoom_ != oldZoom && oldZoom > 0) {
    const HFONT oldFont = font_.Get();
    const HFONT newFont = CreateFaceFont("MS Sans Serif", Scale(kDesignFontHeight));
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT rect;
      GetWindowRect(child, &rect);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
      SetWindowPos(child, nullptr, MulDiv(rect.left, zoom_, oldZoom), MulDiv(rect.top, zoom_, oldZoom),
                   MulDiv(rect.right - rect.left, zoom_, oldZoom),
                   MulDiv(rect.bottom - rect.top, zoom_, oldZoom), SWP_NOZORDER | SWP_NOACTIVATE);
      if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), TRUE);
    }
    font_.Reset(newFont);
  }
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CentreOnScreen() {
  RECT rect;
  GetWindowRect(window_, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetClientHeight(int designPixels) {
  RECT client, frame;
  GetClientRect(window_, &client);
  GetWindowRect(window_, &frame);
  const int extra = (frame.bottom - frame.top) - client.bottom;
  const int height = Scale(designPixels);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, height + extra,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (HWND info = Item(kInfoPanelId)) {
    RECT infoRect;
    GetWindowRect(info, &infoRect);
    const int infoHeight = infoRect.bottom - infoRect.top;
    SetWindowPos(info, nullptr, 0, height - infoHeight, client.right, infoHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Form::SetInfo(const std::string& text) {
  if (HWND info = Item(kInfoPanelId)) SetText(info, text);
}

std::string Form::Info() const {
  HWND info = Item(kInfoPanelId);
  return info ? Text(info) : std::string();
}

const char* Form::HintOf(HWND window) const {
  HWND child = DirectChild(window_, window);
  if (!child || child == window_) return formHint_;
  const int id = GetDlgCtrlID(child);
  for (size_t i = 0; i < sizeof changedIds_ / sizeof changedIds_[0]; ++i)
    if (changedHints_[i] && changedIds_[i] == id) return changedHints_[i];
  for (size_t i = 0; i < count_; ++i)
    if (controls_[i].id == id) return controls_[i].hint ? controls_[i].hint : formHint_;
  return formHint_;
}

void Form::SetHint(int id, const char* hint) {
  for (size_t i = 0; i < sizeof changedIds_ / sizeof changedIds_[0]; ++i) {
    if (!changedHints_[i] || changedIds_[i] == id) {
      changedIds_[i] = id;
      changedHints_[i] = hint;
      return;
    }
  }
}

void Form::ShowHint(const char* hint) {
  if (!active_ || !hint || hint == shownHint_) return;
  shownHint_ = hint;
  SetInfo(hint);
}

void Form::TrackHints(UINT message, WPARAM wParam) {
  if (message == WM_SETCURSOR) ShowHint(HintOf(reinterpret_cast<HWND>(wParam)));
  if (message == WM_ACTIVATE) {
    active_ = LOWORD(wParam) != WA_INACTIVE;
    shownHint_ = nullptr;
  }
}

// --- Window ------------------------------------------------------------------------------------

LRESULT Window::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

void Window::OnFailure(const char* what) { ShowError(handle_, what); }

LRESULT Window::Guarded(UINT message, WPARAM wParam, LPARAM lParam, LRESULT failed) {
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    try {
      OnFailure(error.what());
    } catch (...) {
    }
  } catch (...) {
  }
  return failed;
}

INT_PTR CALLBACK Window::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Window*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->handle_ = window;
    self->dialog_ = true;
  }
  if (!self) return FALSE;
  if (message == WM_DPICHANGED && lParam) {
    if (Form* form = Form::Of(window)) form->Rescale(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
  }
  const INT_PTR result = self->Guarded(message, wParam, lParam, FALSE);
  if (message == WM_NCDESTROY) RemovePropW(window, kFormProperty);
  return result;
}

LRESULT CALLBACK Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->handle_ = window;
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->Guarded(message, wParam, lParam, 0);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}

INT_PTR Window::RunModal(HWND owner, const char* className) {
  RegisterClassOnce(className, DefDlgProcW, DLGWINDOWEXTRA);
  // DLGTEMPLATE, then the menu (none), the class name and the title as UTF-16; no controls.
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE header = {};
  header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  std::memcpy(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  for (const char* c = className; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  words.push_back(0);  // empty title; the form sets its caption
  const INT_PTR result = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
      DialogProcedure, reinterpret_cast<LPARAM>(this));
  handle_ = nullptr;
  return result;
}

HWND Window::CreateTopLevel(const char* className, DWORD style, int left, int top, int width,
                            int height) {
  RegisterClassOnce(className, WindowProcedure, 0);
  return CreateWindowExW(0, Wide(className).c_str(), L"", style, left, top, width, height, nullptr,
                         nullptr, GetModuleHandleW(nullptr), this);
}

}  // namespace tessel::ui
