// A small story in the assembler's text form that touches every kind of command the engine has:
// the seed of the script fuzzers and the game the save fuzzer restores into.
#pragma once

namespace orva::fuzz {

inline constexpr const char* kStory = R"(.script 1 "opening"
system 2 1
system 3 1
system 101
bg "bg_room"
bgm "bgm01" 1 2
char2 2 "aya_smile" show
trans
msg "朝の光がカーテンの隙間から差し込んでいる。"
msg "【アヤ】「おはよう。今日はどうする？」" "v_aya001" 7
choice "海へ行く,家にいる"
if W1 == 1
    set F10 1
    se1 "se_door"
else
    rand F10 5 2
    call *stay_home
end
system 7 1
wait 1000 1
skipend
jump 2 *beach
*stay_home
msg "家でゆっくり過ごすことにした。"
wait -1
return

.script 2 "beach"
*beach
mul F11 F10 -3
div F12 F11 0
if F12 >= F11
  bg "bg_beach"
end
wait -6
system 444
)";


}  // namespace orva::fuzz
