// The text state groups: the current message or choice and what of it the screen shows, and
// the message window's contents (composed lines, the log, the answers, the buttons' looks).
// The script starts messages and choices and the menus clear the window through the
// operations below; the text display (text/) owns the rest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "text/message_layout.h"
#include "text/message_log.h"
#include "text/window_buttons.h"

namespace orva {

// Message and choice bookkeeping shared by the script and the text display.
struct TextState {
    int32_t MsgNo = 0;             // current message number, or the choice's text index
    int32_t MsgVoice = -1;         // voice index of the current message (-1 none)
    bool VoiceLoop = false;        // the current message's voice repeats
    bool IsChoice = false;         // the current text is a choice
    bool MsgOnScreen = false;      // the message window is showing
    bool ChoiceOnScreen = false;   // a choice is being shown
    bool MsgWinShown = false;      // the empty window stays blended after the player went on
    bool LogReview = false;        // the message window shows the log
    int32_t PrintCount = 0;        // characters printed of the current message

    // The script's message `msgNo` with its voice (-1 none) is the current text.
    void BeginMessage(int32_t msgNo, int32_t voice, bool voiceLoop) {
        MsgNo = msgNo;
        MsgVoice = voice;
        VoiceLoop = voiceLoop;
        IsChoice = false;
    }
    // The composed message starts printing in the window, from its first character.
    void ShowMessage() {
        MsgOnScreen = true;
        ChoiceOnScreen = LogReview = false;
        PrintCount = 0;
        MsgWinShown = false;
    }
    // The choice with text `textNo` is the current text; `second` is its second operand.
    void BeginChoice(int32_t textNo, int32_t second) {
        MsgNo = textNo;
        MsgVoice = second;
        IsChoice = true;
    }
    // The choice's bars replace the message window.
    void ShowChoice() {
        MsgOnScreen = MsgWinShown = false;
        ChoiceOnScreen = true;
    }
    // The message window goes: neither a message nor its empty picture stays on the screen.
    void HideWindow() { MsgOnScreen = MsgWinShown = false; }
    // The empty window picture left after the player went on is taken away.
    void DropEmptyWindow() { MsgWinShown = false; }
    // Nothing of the text left behind stays (a restored game shows its own when its line runs).
    void Clear() { MsgOnScreen = MsgWinShown = ChoiceOnScreen = LogReview = false; }
};

// Message composition, the message log, choices and the window buttons' states (text/).
struct MessageWindowState {
    MessageLineSet MessageLines;                     // 0 the speaker's name, 1..3 the text lines
    std::array<std::vector<int>, 1 + kTextLines> LineCharEnds;  // proportional type: each character's right edge from the text's left; empty in cells
    TMessageLog MessageLog;                          // the last 256 messages and choices
    int32_t LogPos = 0;                              // LogReview shows entry LogPos − 1
    Point WaitIconPos;                               // screen place of the click-wait icon
    std::array<std::u16string, kMaxChoices> ChoiceTexts;  // the answers; unused ones empty
    int32_t ChoiceCount = 0;                         // answers of the current choice
    int32_t ChoiceHighlight = 0;                     // answer under the cursor, 1-based; 0 none
    ButtonStates ButtonState{};                      // window buttons' looks: kBtnNormal … kBtnDisabled
    ButtonFlags ButtonToggle{};                      // window buttons switched on
    ButtonFlags ButtonLatch{};                       // a click on the button waits to be acted on

    // Every window button looks normal again (the script's locks apply on the next frame).
    void ResetButtonLooks() { ButtonState.fill(kBtnNormal); }
    // The bottom row looks normal again; the two small buttons keep their looks.
    void ResetBottomRowLooks() {
        for (int b = kBtnQuickSave; b <= kBtnConfig; ++b) ButtonState[static_cast<size_t>(b)] = kBtnNormal;
    }
};

}  // namespace orva
