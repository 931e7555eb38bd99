#pragma once
// The program's start and end, as main runs them; tests and benchmarks that
// run the program in this process use the same two, so they meet the program
// as a user does.

// Starts the windowing backend (a running one is kept), names the application
// and creates the keypad window, the main form, and the hidden debug window.
void startProgram();

// Destroys both windows and closes the port a form left open. The backend
// stays: Application->Shutdown() ends it, as Application->Run() does on return.
void endProgram();
