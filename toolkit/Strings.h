#pragma once
// An ordered list of lines, as a control holds them.

#include <string>

#include "toolkit/Component.h"

class TStrings : public TObject {
public:
    virtual int Add(const std::string& S) = 0;  // the index of the new line
    virtual int Count() const = 0;
    virtual std::string Text() const = 0;  // every line followed by "\r\n"
};
