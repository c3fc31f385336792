// The Qt key mapping on Qt's offscreen platform: native scan codes as an X11
// server gives them, and the fallback when an event carries none.
#include <QKeyEvent>
#include <QTest>

#include "input/KeyTables.h"
#include "input/VirtualKeys.h"
#include "ui/input/QtKeyMapping.h"

using namespace vantelsor;

class QtKeyMappingTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void scanCodeWinsOverTheLayoutsKey() {
        // A German layout: the key at the US "Y" position (evdev 21, keycode 29) types Z.
        QKeyEvent german(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 29, 0, 0);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(german), int('Y'));
        // French AZERTY: the key at the US "Q" position (evdev 16) types A.
        QKeyEvent french(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 16 + 8, 0, 0);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(french), int('Q'));
        QKeyEvent rightCtrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, 97 + 8, 0, 0);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(rightCtrl), vk::kControl);
    }

    void withoutAScanCodeTheQtKeyIsUsed() {
        QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(a), int('A'));
        QKeyEvent keypad7(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(keypad7), vk::kNumpad0 + 7);
        QKeyEvent question(QEvent::KeyPress, Qt::Key_Question, Qt::ShiftModifier);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(question), vk::kOem2);
        // A scan code of a key the tables lack falls back too (the ISO key, evdev 86).
        QKeyEvent less(QEvent::KeyPress, Qt::Key_Less, Qt::NoModifier, 86 + 8, 0, 0);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(less), vk::kOemComma);
        QKeyEvent media(QEvent::KeyPress, Qt::Key_VolumeUp, Qt::NoModifier);
        QCOMPARE(ui::VirtualKeyFromKeyEvent(media), 0);
    }

    void theFallbackReachesEveryKeyOfTheTables() {
        QSet<int> reached;
        const int candidates[] = {
            Qt::Key_Escape,      Qt::Key_Tab,          Qt::Key_Backspace, Qt::Key_Return,
            Qt::Key_Insert,      Qt::Key_Delete,       Qt::Key_Pause,     Qt::Key_Print,
            Qt::Key_Home,        Qt::Key_End,          Qt::Key_Left,      Qt::Key_Up,
            Qt::Key_Right,       Qt::Key_Down,         Qt::Key_PageUp,    Qt::Key_PageDown,
            Qt::Key_Shift,       Qt::Key_Control,      Qt::Key_Alt,       Qt::Key_Super_L,
            Qt::Key_Super_R,     Qt::Key_Menu,         Qt::Key_CapsLock,  Qt::Key_NumLock,
            Qt::Key_ScrollLock,  Qt::Key_Space,        Qt::Key_Minus,     Qt::Key_Equal,
            Qt::Key_BracketLeft, Qt::Key_BracketRight, Qt::Key_Backslash, Qt::Key_Semicolon,
            Qt::Key_Apostrophe,  Qt::Key_QuoteLeft,    Qt::Key_Comma,     Qt::Key_Period,
            Qt::Key_Slash,       Qt::Key_Asterisk,     Qt::Key_Plus,
        };
        for (int key : candidates) {
            reached.insert(ui::VirtualKeyFromQtKey(key, false));
            reached.insert(ui::VirtualKeyFromQtKey(key, true));
        }
        for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
            reached.insert(ui::VirtualKeyFromQtKey(key, false));
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key) {
            reached.insert(ui::VirtualKeyFromQtKey(key, false));
            reached.insert(ui::VirtualKeyFromQtKey(key, true));
        }
        for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
            reached.insert(ui::VirtualKeyFromQtKey(key, false));
        for (int key = 0; key < input::kKeyTableSize; ++key) {
            if (!input::IsKnownKey(key) || key == vk::kCodeE0) continue;
            QVERIFY2(reached.contains(key), qPrintable(QString::number(key, 16)));
        }
    }
};

QTEST_MAIN(QtKeyMappingTest)
#include "QtKeyMappingTest.moc"
