#include "app/Program.h"

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/serialInterface.h"
#include "toolkit/Application.h"

void startProgram() {
    Application->Initialize();
    Application->Title = kTitle;
    Application->MakeForm(&Form1);
    Application->MakeForm(&FormDebug);
}

void endProgram() {
    Application->DestroyComponents();
    Form1 = nullptr;
    FormDebug = nullptr;
    // Closing the keypad window closes the port; windows destroyed unclosed leave it open.
    delete CurrentPort;
    CurrentPort = nullptr;
}
