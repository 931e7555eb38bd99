#include "app/Unit1.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "app/Unit2.h"
#include "core/BootloaderActivation.h"
#include "core/KeypadLine.h"
#include "core/Rc5.h"
#include "core/ReceivedText.h"
#include "platform/UsbSerialPorts.h"
#include "platform/serialInterface.h"
#include "toolkit/Application.h"
#include "toolkit/FormDesign.h"
#include "toolkit/TextToNumber.h"

TForm1* Form1 = nullptr;
serialInterface* CurrentPort = nullptr;

namespace {

constexpr int kPortGroup = 2;  // the Device items use 1
constexpr const char* kCannotOpenPort = "cannot open port ";

// The hint carries the data: a command number, a system address or a port name.
const std::string& hintOf(TObject* Sender) {
    if (auto* control = dynamic_cast<TControl*>(Sender)) return control->Hint;
    return dynamic_cast<TMenuItem&>(*Sender).Hint;
}

// The status bar says only "error"; why the port would not open goes to
// standard error, where a user who started the program from a shell sees it.
void reportOpenFailure(const std::string& portName, const serial::OpenFailure& failure) {
    if (failure.reason.empty()) return;
    std::fprintf(stderr, "%s: %s%s: %s\n", kTitle, kCannotOpenPort, portName.c_str(), failure.text().c_str());
}

void deleteCurrentPort() {
    delete CurrentPort;
    CurrentPort = nullptr;
}

}  // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    LoadDesign(this, Design());
    PortName = "";
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(TObject*) {
    UpdatePorts();
}

// Read once, at creation: a device plugged in later shows after a restart.
void TForm1::UpdatePorts() {
    const int count = MenuPort->Count();
    for (int i = 0; i < count; ++i) MenuPort->Delete(0);

    const devicemap::UsbSerialPorts ports = devicemap::findUsbSerialPorts();
    for (const std::string& name : ports.names) {
        auto* item = new TMenuItem(MenuPort);
        item->Caption = name;
        item->Hint = name;
        item->GroupIndex = kPortGroup;
        item->RadioItem = true;
        item->OnClick = [this](TObject* Sender) { PortMenuClick(Sender); };
        MenuPort->Add(item);
    }
    // The ports before an unreadable value stay listed; the error box says why the rest are not.
    if (!ports.error.empty()) throw std::runtime_error(ports.error);
}

void TForm1::DoButtonClick(TObject* Sender) {
    const int command = StrToInt(hintOf(Sender));
    if (CurrentPort == nullptr) return;
    EditTx->Caption = std::to_string(DeviceAddress) + "," + std::to_string(command);
    SendCommand(this, DeviceAddress, command);
}

void SendCommand(TForm1* Form, int Device, int Command) {
    const std::int32_t word = rc5::codeWord(Form->ToggleBit, Device, Command);
    Form->StatusBar->Text = rc5::hexForm(word);
    const std::string pulse = rc5::pulseString(word);
    // A port that is gone takes nothing; a code word in the status bar would claim it was sent.
    const int size = static_cast<int>(pulse.size());
    if (CurrentPort->write(pulse.data(), size) != size) Form->StatusBar->Text = kStatusError;
    if (FormDebug != nullptr) FormDebug->AddLine(rc5::sentFrameLine(word, pulse));
    Form->ToggleBit = rc5::nextToggle(Form->ToggleBit);
}

void TForm1::DeviceMenuClick(TObject* Sender) {
    dynamic_cast<TMenuItem&>(*Sender).Checked = true;
    DeviceAddress = StrToInt(hintOf(Sender));
}

void TForm1::Exit1Click(TObject*) {
    Close();
}

void TForm1::PortMenuClick(TObject* Sender) {
    dynamic_cast<TMenuItem&>(*Sender).Checked = true;
    PortName = hintOf(Sender);
    deleteCurrentPort();  // the old port closes before the new one opens
    serial::OpenFailure failure;
    CurrentPort = openPort(PortName, kKeypadBaudRate, kKeypadLineFormat, &failure);
    StatusBar->Text = CurrentPort != nullptr ? PortName : std::string(kStatusError);
    reportOpenFailure(PortName, failure);
}

void TForm1::ActivateBootloader1Click(TObject*) {
    if (Application->MessageBox(kConfirmActivation, kTitle, MB_OKCANCEL) != IDOK) return;
    // Ports are opened exclusively, and the one open at 2400 baud is normally the one to reopen.
    deleteCurrentPort();
    serial::OpenFailure failure;
    CurrentPort = openPort9600(PortName, &failure);
    if (CurrentPort == nullptr) {
        reportOpenFailure(PortName, failure);
        StatusBar->Text = bootloader::kStatusUnableToOpenPort + PortName;
        return;
    }
    const std::string status = bootloader::exchange(CurrentPort);
    StatusBar->Text = status;
    deleteCurrentPort();
}

void TForm1::Timer1Timer(TObject*) {
    if (CurrentPort == nullptr) return;
    char buffer[receive::kBufferSize];
    const int count = CurrentPort->read(buffer, receive::kBufferSize);
    if (count <= 0) return;
    if (FormDebug != nullptr) FormDebug->AddLine(receive::receivedText(buffer, count));
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    Timer1->Enabled = false;  // no poll may run on a port about to close
    deleteCurrentPort();
}

void TForm1::MenuDebugWindowClick(TObject*) {
    MenuDebugWindow->Checked = !MenuDebugWindow->Checked;
    FormDebug->Visible = MenuDebugWindow->Checked;
}
