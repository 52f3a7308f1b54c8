#pragma once
// The three windows of the process, created in the order the program main
// creates them and destroyed so that the worker is ended before any window goes.
#include <memory>

class TMainForm;
class TProgrWinForm;
class TPSWinForm;

// Names the application and bounds what it keeps at idle. It sets no display
// name: X11 and Wayland append that to every window title, and each window's
// caption must stand as it is.
void SetUpApplication();

class TToolWindows {
public:
    // Creates TMainForm, TProgrWinForm and TPSWinForm in this order and sets
    // the globals MainForm, ProgrWinForm and PSWinForm.
    TToolWindows();
    ~TToolWindows();
    TToolWindows(const TToolWindows&) = delete;
    TToolWindows& operator=(const TToolWindows&) = delete;

    TMainForm& Main() { return *main_; }

private:
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TProgrWinForm> progr_;
    std::unique_ptr<TPSWinForm> ps_;
};
