// TEZXor: key building and the block-wise XOR transform.
#include "data/ezxor.h"

#include <numeric>

namespace orva {

namespace {
constexpr uint8_t kXorConstant = 0x75;  // mixed into every byte besides the key
}

TEZXor::TEZXor() {
    SetMode(XMD_PASSWORDONLY);
    SetPassword("pebble");
    SetSubKey(0);
    SetCanExecute(true);
}

void TEZXor::SetMode(TXorMode value) {
    if (static_cast<unsigned>(value) > 1) throw EInvalidMode();
    FMode = value;
}

void TEZXor::SetPassword(const std::string& value) {
    if (value.empty()) throw EInvalidKey();
    FPassword = value;
}

void TEZXor::SetSubKey(int32_t value) { FSubKey = value; }

void TEZXor::BuildKey(std::string& key) {
    std::string s = std::to_string(FSubKey);
    const std::string& p = FPassword;
    if (s.size() == p.size()) s += 'X';
    // The setter keeps the password non-empty; guard anyway so a key is never empty.
    if (p.empty()) {
        key = s;
        return;
    }
    const size_t length = std::lcm(s.size(), p.size());
    key.resize(length);
    for (size_t i = 0; i < length; ++i)
        key[i] = static_cast<char>(static_cast<uint8_t>(p[i % p.size()]) ^
                                   static_cast<uint8_t>(s[i % s.size()]));
}

bool TEZXor::Execute(TStream& trgt, TStream& rslt) {
    if (OnExecute) OnExecute(*this, trgt, rslt);
    if (!FCanExecute) return false;
    std::string key;
    if (FMode == XMD_SUBKEYALSO)
        BuildKey(key);
    else
        key = FPassword;
    if (key.empty()) key = "pebble";  // unreachable through the setters
    size_t counter = 0;
    size_t n = trgt.Read(XorBuffer.data(), XorBuffer.size());
    while (n > 0) {
        for (size_t i = 0; i < n; ++i) {
            XorBuffer[i] = static_cast<uint8_t>(static_cast<uint8_t>(key[counter % key.size()]) ^
                                                XorBuffer[i] ^ kXorConstant);
            ++counter;
        }
        if (rslt.Write(XorBuffer.data(), n) < n) return false;
        n = trgt.Read(XorBuffer.data(), XorBuffer.size());
    }
    return true;
}

void ConfigureMainFormXor(TEZXor& xorer) {
    xorer.SetMode(XMD_SUBKEYALSO);
    xorer.SetPassword("QRTZ518");
    xorer.SetSubKey(582046);
    xorer.SetCanExecute(true);
}

}  // namespace orva
