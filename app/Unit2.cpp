#include "app/Unit2.h"

#include "app/Unit1.h"
#include "toolkit/FormDesign.h"

TFormDebug* FormDebug = nullptr;

TFormDebug::TFormDebug(TComponent* Owner) : TForm(Owner) {
    LoadDesign(this, Design());
}

TFormDebug::~TFormDebug() = default;

void TFormDebug::FormHide(TObject*) {
    if (Form1 != nullptr) Form1->MenuDebugWindow->Checked = false;
}

void TFormDebug::AddLine(std::string Text) {
    Memo1->Lines->Add(Text);
}
