// TEZXor: the XOR scrambler component that scrambles and unscrambles the seen-pictures
// record. The transform is its own inverse.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "data/memory_stream.h"

namespace orva {

// How the key is formed: the password alone, or the password combined with SubKey.
enum TXorMode : uint8_t { XMD_PASSWORDONLY = 0, XMD_SUBKEYALSO = 1 };

// Raised by SetMode for a value above XMD_SUBKEYALSO.
class EInvalidMode : public std::runtime_error {
public:
    EInvalidMode() : std::runtime_error("Invalid Mode is intended to be setted.") {}
};

// Raised by SetPassword for an empty password.
class EInvalidKey : public std::runtime_error {
public:
    EInvalidKey() : std::runtime_error("Password-Length must be greater than 0 byte") {}
};

class TEZXor;
// Notification at the start of Execute: (Sender, TrgtStrm, RsltStrm).
using TXorExecute = std::function<void(TEZXor& sender, TStream& trgt, TStream& rslt)>;

// The setters SetMode and SetPassword throw EInvalidMode / EInvalidKey on a bad value
// and then keep the previous value; nothing else throws (except an OnExecute handler).
class TEZXor {
public:
    static constexpr size_t kXorBufferSize = 1024;

    TEZXor();
    virtual ~TEZXor() = default;

    // Combined key of Password and SubKey's decimal text (an X is appended to the
    // sub-key text when both have the same length); length = lcm of the two lengths.
    virtual void BuildKey(std::string& key);
    virtual void SetMode(TXorMode value);
    virtual void SetPassword(const std::string& value);
    virtual void SetSubKey(int32_t value);
    // Transforms TrgtStrm from its position to its end into RsltStrm at its position.
    // True when the source was used up; false when CanExecute is false or a write fell short.
    virtual bool Execute(TStream& trgt, TStream& rslt);

    TXorMode Mode() const { return FMode; }
    const std::string& Password() const { return FPassword; }
    int32_t SubKey() const { return FSubKey; }
    bool CanExecute() const { return FCanExecute; }
    void SetCanExecute(bool value) { FCanExecute = value; }

    TXorExecute OnExecute;                              // called first by Execute when set
    std::array<uint8_t, kXorBufferSize> XorBuffer{};    // working block of Execute

private:
    TXorMode FMode = XMD_PASSWORDONLY;  // how the key is formed
    std::string FPassword;              // key text, never empty
    int32_t FSubKey = 0;                // second key of XMD_SUBKEYALSO
    bool FCanExecute = true;            // Execute does nothing when false
};

// The main form's EZXor1: XMD_SUBKEYALSO, password "QRTZ518", sub-key 582046.
void ConfigureMainFormXor(TEZXor& xorer);

}  // namespace orva
