#pragma once
// The debug window: every frame sent and whatever the transmitter sends back.

#include <string>

#include "toolkit/Form.h"
#include "toolkit/Memo.h"

template <class F>
struct TFormDesign;

inline constexpr const char* kDebugWindowCaption = "Debug Window";  // also the File menu item

class TFormDebug : public TForm {
public:
    TMemo* Memo1 = nullptr;

    void FormHide(TObject* Sender);
    // Appends the text as a new last line, shown or hidden.
    void AddLine(std::string Text);

    explicit TFormDebug(TComponent* Owner);
    ~TFormDebug() override;

    static const TFormDesign<TFormDebug>& Design();  // Unit2Design.cpp
};

extern TFormDebug* FormDebug;
