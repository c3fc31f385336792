// Every message box of the client goes through here: the caption, icon and
// buttons follow from the kind of box, and the text comes from the string
// table. Tests install an interceptor that records the box and answers it.
// User-interface thread.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantelsor::ui {

enum class BoxKind {
    kError,            // "错误", error icon, OK
    kInformation,      // "信息", information icon, OK
    kQuestion,         // "信息", information icon, Yes/No
    kWarningQuestion,  // "警告", warning icon, Yes/No
};

struct BoxRecord {
    QString text;
    QString caption;
    BoxKind kind = BoxKind::kError;
};

class MessageBox {
  public:
    // Shows the box modally (to `parent` when given); true for OK or Yes.
    static bool Show(QWidget* parent, BoxKind kind, const QString& text);
    static bool Show(QWidget* parent, BoxKind kind, const char* utf8Text);

    static bool Error(QWidget* parent, const char* text) {
        return Show(parent, BoxKind::kError, text);
    }
    static bool Information(QWidget* parent, const char* text) {
        return Show(parent, BoxKind::kInformation, text);
    }
    static bool Question(QWidget* parent, const char* text) {
        return Show(parent, BoxKind::kQuestion, text);
    }

    static QString CaptionOf(BoxKind kind);

    // Replaces the real boxes (null restores them); the interceptor's result is
    // the answer (true: OK or Yes).
    using Interceptor = std::function<bool(const BoxRecord&)>;
    static void SetInterceptor(Interceptor interceptor);
};

}  // namespace vantelsor::ui
