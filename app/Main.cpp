// The program entry: the application with its title, the keypad window, the
// hidden debug window, the event loop.

#include <exception>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "toolkit/Application.h"

int main() {
    try {
        Application->Initialize();
        Application->Title = kTitle;
        Application->MakeForm(&Form1);
        Application->MakeForm(&FormDebug);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
