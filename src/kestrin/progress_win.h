// Kestrin's progress window for big copies: centred on the screen, with a Cancel button.
// Cancel, Esc and closing the window all cancel the copy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace zelk {

class ProgressWindow {
  public:
    explicit ProgressWindow(const std::string& title);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    // Shows how far the copy is and lets the user's input through; false once cancelled.
    bool Step(int64_t done, int64_t total);
    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr, text_ = nullptr, cancel_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace zelk
