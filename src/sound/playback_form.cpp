// The main form's sound: set-up and shutdown of the device, the mixer and its seven sources,
// the refill handler, and the music, effect and voice operations.
//
// Player channels: 0 and 1 the two music sources a change cross-fades between, 2..5 the effect
// slots 0..3, 6 the voice; 7..9 stay empty.
#include <algorithm>
#include <cstring>
#include <iostream>

#include "app/main_form.h"
#include "data/cp932.h"

namespace orva {
namespace {

constexpr uint32_t kSoundBufferSize = 0x28000;  // bytes of the player's and each source's halves
constexpr uint32_t kPlayerChannels = 10;

}  // namespace

void TForm1::SetUpSound() {
    // Without sound output nothing is decoded or mixed; every playback operation does nothing.
    if (Options.RenderOff) return;
    DDSD1 = std::make_unique<TDDSD>(Plat);
    DDSD1->DebugOption = dsoHaltOnError;
    DDSD1->Loaded();
    if (!DDSD1->Initialized())
        std::cerr << "orva: no sound output (" << DDSD1->DeviceError() << "); the game plays silently\n";

    InitVorbisFile("wuvorbis.dll");
    SoundPlayer = std::make_unique<TOggPlayer>(kSoundBufferSize, kPlayerChannels);
    for (auto& s : MusicSource) s = std::make_unique<TOggData>(kSoundBufferSize);
    for (auto& s : EffectSource) s = std::make_unique<TOggData>(kSoundBufferSize);
    VoiceSource = std::make_unique<TOggData>(kSoundBufferSize);

    OutputWave = std::make_unique<TDDSDWaveData>(*DDSD1, 44100, 16, true, kOutputRingBytes, false, kOutputBlockBytes);
    OutputWave->OnNotify = [this](TDDSDGenWave& sender, TDDSDChannel* channel, uint32_t offset, uint32_t length) {
        OutputWaveNotify(sender, channel, offset, length);
    };
    if (TDDSDChannel* channel = DDSD1->GetChannel(0)) {
        channel->setWaveData(OutputWave.get());
        channel->Play();
    }
    MusicSlot = 0;
    Game.MusicName[0] = '\0';
    // From here a device fault is a line in the memo; the game goes on without that sound.
    DDSD1->OnFault = [this](const std::string& text) { DebugMemoAdd("sound error : " + text); };
    DDSD1->EndStartUp();
}

void TForm1::FreeSound() {
    if (DDSD1) {
        if (TDDSDChannel* channel = DDSD1->GetChannel(0)) {
            channel->Stop();
            channel->setWaveData(nullptr);
        }
    }
    if (OutputWave && OutputWave->Underruns() > 0)
        std::cerr << "orva: sound: the device ran short " << OutputWave->Underruns() << " times ("
                  << OutputWave->UnderrunFrames() * 1000 / kAudioRate << " ms of silence)\n";
    OutputWave.reset();  // its notify thread ends first: no refill runs after this
    for (auto& s : MusicSource) s.reset();
    for (auto& s : EffectSource) s.reset();
    VoiceSource.reset();
    SoundPlayer.reset();
    FreeVorbisFile();
    DDSD1.reset();
}

void TForm1::SwitchMusicVersion() {
    Game.AltMusic = Game.AltMusic ? 0 : 1;
    NOVL_PlayBGM2011(std::string(Game.MusicName, strnlen(Game.MusicName, sizeof Game.MusicName)), 1, true,
                     Game.MusicLoop);
}

void TForm1::SetSoundVolumes() {
    if (!SoundPlayer) return;
    for (uint32_t c : {0u, 1u}) SoundPlayer->SetVolume(c, Config.BgmVolume / 100.0);
    for (uint32_t c : {2u, 3u, 4u, 5u}) SoundPlayer->SetVolume(c, Config.SeVolume / 100.0);
    SoundPlayer->SetVolume(kVoiceChannel, Config.VoiceVolume / 100.0);
}

// Runs on the notify thread. It writes to the wave it is handed, never through OutputWave: while
// FreeSound destroys the wave, OutputWave is already empty and a refill may still be finishing.
void TForm1::OutputWaveNotify(TDDSDGenWave& sender, TDDSDChannel*, uint32_t offset, uint32_t length) {
    SoundPlayer->FillNext(length);
    sender.WriteData(offset, SoundPlayer->GetOutput(), std::min(length, SoundPlayer->HalfBytes()));
}

bool TForm1::VoicePlaying() { return SoundPlayer && SoundPlayer->GetState(kVoiceChannel) >= 2; }

void TForm1::SoundPlayerStop(int channel) {
    if (SoundPlayer && channel >= 0) SoundPlayer->Stop(static_cast<uint32_t>(channel));
}

// Loads `fileName` from the archives into `source`. False when the archives lack it or the
// decoder cannot open it (then one line on stderr, and the source is left not loaded).
static bool LoadSound(TForm1& form, TOggData& source, const std::string& fileName) {
    TMemoryStream stream;
    if (!form.CSFile_Read(fileName, stream)) return false;
    if (source.LoadFromStream(stream)) return true;
    std::cerr << "orva: cannot decode the sound " << Cp932ToUtf8(fileName) << "; it is not played\n";
    return false;
}

bool TForm1::NOVL_PlayBGM2011(const std::string& name, int fade, bool force, int loop) {
    if (!SoundPlayer) return false;
    const std::string stored(Cp932FieldPrefix(name, sizeof Game.MusicName));
    const uint8_t loopByte = static_cast<uint8_t>(loop);
    if (loopByte == Game.MusicLoop && !force && stored == Game.MusicName) return false;
    CopyToCp932Field(Game.MusicName, sizeof Game.MusicName, stored);
    Game.MusicLoop = loopByte;

    std::string fileName = name + ".ogg";
    if (Game.AltMusic != 0 && name != "M08" && name != "STOP") fileName = name + "P.ogg";

    const int32_t old = MusicSlot, now = 1 - old;
    MusicSlot = now;
    TOggData& source = *MusicSource[static_cast<size_t>(now)];
    const bool read = LoadSound(*this, source, fileName);
    if (read) {
        SoundPlayer->SetSource(static_cast<uint32_t>(now), &source, true);
        source.SetFadeVolume(0);
        SoundPlayer->Play(static_cast<uint32_t>(now), loop != 0);
        for (uint32_t c : {0u, 1u}) SoundPlayer->SetVolume(c, Config.BgmVolume / 100.0);
    }
    // A name with no file (by convention "STOP") only fades the old piece out.
    source.FadeTo(fade, 1.0);
    MusicSource[static_cast<size_t>(old)]->FadeTo(fade, 0.0);
    if (Trace.Enabled())
        Trace.Event("bgm", TraceFields()
                               .Str("name", Cp932ToUtf8(name))
                               .Str("file", Cp932ToUtf8(fileName))
                               .Int("fade", fade)
                               .Int("loop", loop)
                               .Bool("read", read));
    return read;
}

bool TForm1::NOVL_PlaySE2011(int slot, const std::string& name, int fade, int loop) {
    if (!SoundPlayer) return false;
    // The record keeps slots 1..3; slot 0 exists in the player only.
    if (slot >= 1 && slot <= 3) {
        CopyToCp932Field(Game.EffectName[slot - 1], sizeof Game.EffectName[0], name);
        Game.EffectLoop[slot - 1] = static_cast<uint8_t>(loop);
    }
    bool read = false;
    if (slot >= 0 && slot < static_cast<int>(EffectSource.size())) {
        TOggData& source = *EffectSource[static_cast<size_t>(slot)];
        const uint32_t channel = static_cast<uint32_t>(slot) + 2;
        read = LoadSound(*this, source, name + ".ogg");
        if (read) {
            SoundPlayer->SetSource(channel, &source, true);
            source.SetFadeVolume(0);
            SoundPlayer->Play(channel, loop != 0);
            for (uint32_t c : {2u, 3u, 4u, 5u}) SoundPlayer->SetVolume(c, Config.SeVolume / 100.0);
            source.FadeTo(fade, 1.0);
        }
    }
    if (Trace.Enabled())
        Trace.Event("se", TraceFields().Int("slot", slot).Str("name", Cp932ToUtf8(name)).Bool("read", read));
    return read;
}

bool TForm1::NOVL_PlayVOICE2011(const std::string& name, bool loop) {
    if (!SoundPlayer) return false;
    SoundPlayer->Stop(kVoiceChannel);
    const bool read = LoadSound(*this, *VoiceSource, name + ".ogg");
    if (read) {
        SoundPlayer->SetSource(kVoiceChannel, VoiceSource.get(), true);
        VoiceSource->SetFadeVolume(1.0);
        SoundPlayer->SetVolume(kVoiceChannel, Config.VoiceVolume / 100.0);
        SoundPlayer->Play(kVoiceChannel, loop);
    }
    if (Trace.Enabled()) Trace.Event("voice", TraceFields().Str("name", Cp932ToUtf8(name)).Bool("read", read));
    return read;
}

}  // namespace orva
