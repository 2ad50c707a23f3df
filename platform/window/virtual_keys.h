// Virtual-key codes: the numbers the key messages carry and keyState is indexed
// by. Letters and digits are their upper-case characters ('A' is 0x41, '0' is
// 0x30). Every code is from 1 to 255; VK_OEM_UNMAPPED is the code of a key that
// has no code of its own.
#pragma once

#include <cstdint>

namespace platform {

constexpr uint32_t VK_CANCEL = 0x03;
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_CLEAR = 0x0C;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;  // Alt
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_CAPITAL = 0x14;
constexpr uint32_t VK_KANA = 0x15;  // also Hangul
constexpr uint32_t VK_HANJA = 0x19;  // also Kanji
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_CONVERT = 0x1C;
constexpr uint32_t VK_NONCONVERT = 0x1D;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;  // Page Up
constexpr uint32_t VK_NEXT = 0x22;   // Page Down
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_SELECT = 0x29;
constexpr uint32_t VK_EXECUTE = 0x2B;
constexpr uint32_t VK_SNAPSHOT = 0x2C;  // Print Screen
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_HELP = 0x2F;
constexpr uint32_t VK_LWIN = 0x5B;
constexpr uint32_t VK_RWIN = 0x5C;
constexpr uint32_t VK_APPS = 0x5D;  // the menu key
constexpr uint32_t VK_SLEEP = 0x5F;
constexpr uint32_t VK_NUMPAD0 = 0x60;  // to VK_NUMPAD9 = 0x69
constexpr uint32_t VK_NUMPAD3 = 0x63;
constexpr uint32_t VK_MULTIPLY = 0x6A;
constexpr uint32_t VK_ADD = 0x6B;
constexpr uint32_t VK_SEPARATOR = 0x6C;
constexpr uint32_t VK_SUBTRACT = 0x6D;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70;  // to VK_F12 = 0x7B
constexpr uint32_t VK_F5 = 0x74;
constexpr uint32_t VK_F10 = 0x79;
constexpr uint32_t VK_F12 = 0x7B;
constexpr uint32_t VK_F13 = 0x7C;  // to VK_F24 = 0x87
constexpr uint32_t VK_F24 = 0x87;
constexpr uint32_t VK_NUMLOCK = 0x90;
constexpr uint32_t VK_SCROLL = 0x91;
constexpr uint32_t VK_BROWSER_BACK = 0xA6;
constexpr uint32_t VK_BROWSER_FORWARD = 0xA7;
constexpr uint32_t VK_BROWSER_REFRESH = 0xA8;
constexpr uint32_t VK_BROWSER_STOP = 0xA9;
constexpr uint32_t VK_BROWSER_SEARCH = 0xAA;
constexpr uint32_t VK_BROWSER_FAVORITES = 0xAB;
constexpr uint32_t VK_BROWSER_HOME = 0xAC;
constexpr uint32_t VK_VOLUME_MUTE = 0xAD;
constexpr uint32_t VK_VOLUME_DOWN = 0xAE;
constexpr uint32_t VK_VOLUME_UP = 0xAF;
constexpr uint32_t VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr uint32_t VK_MEDIA_PREV_TRACK = 0xB1;
constexpr uint32_t VK_MEDIA_STOP = 0xB2;
constexpr uint32_t VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr uint32_t VK_LAUNCH_MAIL = 0xB4;
constexpr uint32_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr uint32_t VK_LAUNCH_APP1 = 0xB6;
constexpr uint32_t VK_LAUNCH_APP2 = 0xB7;
constexpr uint32_t VK_OEM_1 = 0xBA;  // ;
constexpr uint32_t VK_OEM_PLUS = 0xBB;  // = and +
constexpr uint32_t VK_OEM_COMMA = 0xBC;
constexpr uint32_t VK_OEM_MINUS = 0xBD;
constexpr uint32_t VK_OEM_PERIOD = 0xBE;
constexpr uint32_t VK_OEM_2 = 0xBF;  // /
constexpr uint32_t VK_OEM_3 = 0xC0;  // `
constexpr uint32_t VK_OEM_4 = 0xDB;  // [
constexpr uint32_t VK_OEM_5 = 0xDC;  // backslash
constexpr uint32_t VK_OEM_6 = 0xDD;  // ]
constexpr uint32_t VK_OEM_7 = 0xDE;  // '
constexpr uint32_t VK_OEM_102 = 0xE2;  // the extra key beside left Shift (< > |)
constexpr uint32_t VK_CRSEL = 0xF7;
constexpr uint32_t VK_EXSEL = 0xF8;
constexpr uint32_t VK_OEM_UNMAPPED = 0xFF;

} // namespace platform
