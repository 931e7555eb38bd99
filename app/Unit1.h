#pragma once
// The keypad window: its components, its handlers and the state a key press needs.

#include <string>

#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Menu.h"
#include "toolkit/StatusBar.h"
#include "toolkit/Timer.h"

class serialInterface;
template <class F>
struct TFormDesign;

inline constexpr const char* kTitle = "TELVARA";  // the application's and the keypad window's name
// A Port item whose port cannot be opened, or a key press the port did not take whole.
inline constexpr const char* kStatusError = "error";
inline constexpr const char* kConfirmActivation = "Are you sure to activate the bootloader?";

class TForm1 : public TForm {
public:
    TBitBtn* BitBtn1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn3 = nullptr;
    TBitBtn* BitBtn4 = nullptr;
    TBitBtn* BitBtn5 = nullptr;
    TBitBtn* BitBtn6 = nullptr;
    TBitBtn* BitBtn7 = nullptr;
    TBitBtn* BitBtn8 = nullptr;
    TBitBtn* BitBtn9 = nullptr;
    TBitBtn* BitBtn10 = nullptr;
    TBitBtn* BitBtn11 = nullptr;
    TBitBtn* BitBtn12 = nullptr;
    TBitBtn* BitBtn13 = nullptr;
    TBitBtn* BitBtn14 = nullptr;
    TBitBtn* BitBtn15 = nullptr;
    TBitBtn* BitBtn16 = nullptr;
    TBitBtn* BitBtn17 = nullptr;
    TBitBtn* BitBtn18 = nullptr;
    TBitBtn* BitBtn19 = nullptr;
    TBitBtn* BitBtn20 = nullptr;
    TBitBtn* BitBtn21 = nullptr;
    TBitBtn* BitBtn22 = nullptr;
    TBitBtn* BitBtn23 = nullptr;
    TBitBtn* BitBtn24 = nullptr;
    TBitBtn* BitBtn25 = nullptr;
    TBitBtn* BitBtn26 = nullptr;
    TBitBtn* BitBtn27 = nullptr;
    TBitBtn* BitBtn28 = nullptr;
    TBitBtn* BitBtn29 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TEdit* EditTx = nullptr;
    TEdit* EditRx = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* MenuFile = nullptr;
    TMenuItem* MenuDevice = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* MenuPort = nullptr;
    TMenuItem* CD1 = nullptr;
    TMenuItem* TV1 = nullptr;
    TMenuItem* VCR1 = nullptr;
    TMenuItem* Sat1 = nullptr;
    TMenuItem* Tuner1 = nullptr;
    TMenuItem* Tape1 = nullptr;
    TMenuItem* ActivateBootloader1 = nullptr;
    TStatusBar* StatusBar = nullptr;
    TMenuItem* Amp1 = nullptr;
    TTimer* Timer1 = nullptr;
    TMenuItem* MenuDebugWindow = nullptr;
    TMenuItem* N1 = nullptr;
    TBitBtn* BitBtn30 = nullptr;
    TBitBtn* BitBtn31 = nullptr;
    TLabel* Label1 = nullptr;

    void UpdatePorts();
    void FormCreate(TObject* Sender);
    void DoButtonClick(TObject* Sender);
    void DeviceMenuClick(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void PortMenuClick(TObject* Sender);
    void ActivateBootloader1Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void MenuDebugWindowClick(TObject* Sender);

    int ToggleBit = 0;      // RC-5 toggle bit of the next frame
    int DeviceAddress = 0;  // RC-5 system address of the checked Device item
    std::string PortName;   // the port last chosen in the Port menu

    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    static const TFormDesign<TForm1>& Design();  // Unit1Design.cpp
};

extern TForm1* Form1;

// The one open port, or none; every handler that opens one deletes this first.
extern serialInterface* CurrentPort;

// Sends one RC-5 frame on the current port, which must be open, and reports it.
void SendCommand(TForm1* Form, int Device, int Command);
