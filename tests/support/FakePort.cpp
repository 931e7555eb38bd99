#include "tests/support/FakePort.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/serialInterface.h"

// Port objects carry only a handle; each handle stands for the fake it was
// opened on. Handles are never reused, so a port that outlives its fake finds
// nothing and behaves as a failed port.
namespace {

std::map<serial::NativeHandle, FakePort*>& fakesByHandle() {
    static std::map<serial::NativeHandle, FakePort*> fakes;
    return fakes;
}

std::vector<FakePort*>& allFakes() {
    static std::vector<FakePort*> fakes;
    return fakes;
}

serial::NativeHandle nextHandle = 1;

FakePort* fakeOf(serial::NativeHandle handle) {
    auto it = fakesByHandle().find(handle);
    return it == fakesByHandle().end() ? nullptr : it->second;
}

}  // namespace

FakePort::FakePort() {
    allFakes().push_back(this);
}

FakePort::~FakePort() {
    std::erase(allFakes(), this);
    auto& fakes = fakesByHandle();
    for (auto it = fakes.begin(); it != fakes.end();) it = it->second == this ? fakes.erase(it) : std::next(it);
}

serialInterface* FakePort::open() {
    serial::NativeHandle handle = nextHandle++;
    fakesByHandle()[handle] = this;
    ++openPorts_;
    return new serialInterface(handle);
}

void FakePort::answerOpensOf(const std::string& portName) {
    for (FakePort* other : allFakes())
        if (other->answersOpensOf(portName)) other->answersOpens_ = false;
    answeredName_ = portName;
    answersOpens_ = true;
}

bool FakePort::answersOpensOf(const std::string& portName) const {
    return answersOpens_ && answeredName_ == portName;
}

void FakePort::queueInput(const std::vector<std::uint8_t>& bytes) {
    input_.insert(input_.end(), bytes.begin(), bytes.end());
}

void FakePort::queueInput(const std::uint8_t* bytes, std::size_t count) {
    input_.insert(input_.end(), bytes, bytes + count);
}

std::size_t FakePort::pendingInput() const {
    return input_.size() - inputRead_;
}

void FakePort::setWriteResult(int result) {
    writeResult_ = result;
}

std::vector<std::uint8_t> FakePort::written() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : writes_) all.insert(all.end(), w.begin(), w.end());
    return all;
}

int FakePort::onWrite(const void* data, int count) {
    if (data == nullptr || count <= 0) return 0;
    int n = writeResult_ < 0 ? count : std::min(writeResult_, count);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    writes_.emplace_back(bytes, bytes + n);
    return n;
}

int FakePort::onRead(void* buffer, int count, int timeoutMs) {
    int n = 0;
    if (buffer != nullptr && count > 0) {
        n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(count), pendingInput()));
        if (n > 0) std::memcpy(buffer, input_.data() + inputRead_, static_cast<std::size_t>(n));
        inputRead_ += static_cast<std::size_t>(n);
    }
    reads_.push_back({count, timeoutMs, n});
    return n;
}

void FakePort::onOpen(const std::string& portName, int baudRate, const std::string& lineFormat) {
    opens_.push_back({portName, baudRate, lineFormat});
}

namespace {

serialInterface* openFake(const std::string& portName, int baudRate, const std::string& lineFormat) {
    for (FakePort* fake : allFakes()) {
        if (fake->answersOpensOf(portName)) {
            fake->onOpen(portName, baudRate, lineFormat);
            return fake->open();
        }
    }
    return nullptr;
}

}  // namespace

serialInterface::~serialInterface() {
    if (FakePort* fake = fakeOf(handle_)) fake->onClose();
}

int serialInterface::write(const void* data, int count) {
    FakePort* fake = fakeOf(handle_);
    return fake ? fake->onWrite(data, count) : 0;
}

int serialInterface::read(void* buffer, int count, int timeoutMs) {
    FakePort* fake = fakeOf(handle_);
    return fake ? fake->onRead(buffer, count, timeoutMs) : 0;
}

serialInterface* openPort(const std::string& portName, int baudRate, const std::string& lineFormat,
                          serial::OpenFailure*) {
    return openFake(portName, baudRate, lineFormat);
}

serialInterface* openPort9600(const std::string& portName, serial::OpenFailure*) {
    return openFake(portName, serial::kBootloaderBaudRate, "");
}
