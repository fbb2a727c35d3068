// Which key does what: the keys map only onto the handlers the mouse calls.

#include "presentation/window/keyboard.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace vorn;

TEST(Keyboard, KeysMapToTheMouseHandlers) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        KeyAction action;
    } cases[] = {
        {Qt::Key_Return, {}, KeyAction::ReadOn},
        {Qt::Key_Enter, Qt::KeypadModifier, KeyAction::ReadOn},
        {Qt::Key_Space, {}, KeyAction::ReadOn},
        {Qt::Key_PageDown, {}, KeyAction::ReadOn},
        {Qt::Key_1, {}, KeyAction::ClickOption1},
        {Qt::Key_4, Qt::KeypadModifier, KeyAction::ClickOption4},
        {Qt::Key_Up, {}, KeyAction::ScrollUp},
        {Qt::Key_Down, {}, KeyAction::ScrollDown},
        {Qt::Key_B, {}, KeyAction::ToggleBacklog},
        {Qt::Key_Escape, {}, KeyAction::CloseBacklog},
        {Qt::Key_C, Qt::ControlModifier, KeyAction::CopyPage},
        {Qt::Key_Plus, Qt::ControlModifier, KeyAction::ZoomIn},
        {Qt::Key_Equal, Qt::ControlModifier, KeyAction::ZoomIn},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, KeyAction::ZoomIn},
        {Qt::Key_Minus, Qt::ControlModifier, KeyAction::ZoomOut},
        {Qt::Key_F11, {}, KeyAction::ToggleFullScreen},
        {Qt::Key_Return, Qt::AltModifier, KeyAction::ToggleFullScreen},
        {Qt::Key_Menu, {}, KeyAction::PopupMenu},
        {Qt::Key_F10, Qt::ShiftModifier, KeyAction::PopupMenu},
        {Qt::Key_Q, Qt::ControlModifier, KeyAction::Quit},
        {Qt::Key_Q, {}, KeyAction::None},
        {Qt::Key_F5, {}, KeyAction::QuickSave},
        {Qt::Key_F9, {}, KeyAction::QuickLoad},
        {Qt::Key_S, Qt::ControlModifier, KeyAction::SaveDialog},
        {Qt::Key_L, Qt::ControlModifier, KeyAction::LoadDialog},
        {Qt::Key_S, {}, KeyAction::ToggleSkip},
        {Qt::Key_S, Qt::ShiftModifier, KeyAction::None},
        {Qt::Key_Left, {}, KeyAction::StepBack},
        {Qt::Key_PageUp, {}, KeyAction::StepBack},
        {Qt::Key_Control, Qt::ControlModifier, KeyAction::SkipWhileHeld},
        {Qt::Key_Comma, Qt::ControlModifier, KeyAction::OpenSettings},
        {Qt::Key_0, {}, KeyAction::VolumeUp},
        {Qt::Key_F5, Qt::ControlModifier, KeyAction::None},
        {Qt::Key_1, Qt::ControlModifier, KeyAction::None},
        {Qt::Key_5, {}, KeyAction::None},
    };
    for (const Case& c : cases) EXPECT_EQ(keyAction(c.key, c.mods), c.action) << c.key;
}

// The window reads the player's key table: every key the table names is a
// key of Qt's, so a row added to the table works in the window too.
TEST(Keyboard, EveryKeyOfTheTableIsAKeyTheWindowNames) {
    std::set<std::string> named;
    for (int key = 0x20; key < 0x7f; ++key) named.insert(keyName(key));
    for (int key = Qt::Key_Escape; key <= Qt::Key_Menu; ++key) named.insert(keyName(key));
    for (const KeyRow& row : keyRows()) EXPECT_TRUE(named.count(row.key)) << "no Qt key is named " << row.key;
    EXPECT_EQ(keyModifiers(Qt::KeypadModifier | Qt::ControlModifier), kCtrl);
    EXPECT_EQ(keyAction(Qt::Key_B, Qt::MetaModifier), KeyAction::None);
}
