#include "mail/mail_ui.h"

namespace vntra {

const char* message_title(MessageStyle style) {
    switch (style) {
    case MESSAGE_NOTICE:
        return "確認";
    case MESSAGE_PLAIN_ERROR:
        return "Error";
    case MESSAGE_ERROR:
        break;
    }
    return "エラー";
}

} // namespace vntra
