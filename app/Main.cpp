// The program entry: the program's start, the event loop until the keypad
// window closes, the program's end.

#include <exception>

#include "app/Program.h"
#include "toolkit/Application.h"

int main() {
    try {
        startProgram();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    endProgram();
    Application->Shutdown();
    return 0;
}
