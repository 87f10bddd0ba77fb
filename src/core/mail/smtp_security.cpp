#include "mail/smtp_security.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/secret.h"
#include "platform/sjis_text.h"
#include "store/schedule_record.h"
#include "text/base64.h"
#include "text/secret_text.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

// The words of a line, split at spaces (and at "=" after the keyword).
std::vector<std::string> words_of(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t' || (c == '=' && words.empty())) {
            if (!word.empty())
                words.push_back(upper(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(upper(word));
    return words;
}

// What a UTF-8 password is stored as, encrypted: this mark, then the text.
// Earlier releases stored the bare Shift-JIS text, which came from an edit
// field and so never begins with a NUL byte.
const std::string_view UTF8_PASSWORD_MARK("\0UTF-8\0", 7);

std::string hex_code(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

} // namespace

const char NO_STARTTLS_MESSAGE[] =
    "メールサーバーが暗号化（STARTTLS）に対応していないため、送信を中止しました。"
    "暗号化しないまま送ることはしません。サーバー名、ポート、暗号化の設定を確認して下さい";
const char NO_AUTH_MESSAGE[] =
    "メールサーバーがSMTP認証（AUTH PLAIN または LOGIN）を受け付けないため、送信を中止しました。"
    "サーバー名、ポート、暗号化の設定を確認して下さい";
const char INJECTED_MESSAGE[] = "暗号化の開始前に、メールサーバーから余分なデータが届きました。"
                                "通信が改ざんされている恐れがあるため、送信を中止しました";
const char AUTH_WITHOUT_TLS_MESSAGE[] =
    "暗号化なしではSMTP認証を使えません（パスワードが暗号化されずに送られるため）。"
    "設定の「送信の認証・暗号化」で暗号化を選んで下さい";
const char NO_PASSWORD_MESSAGE[] = "保存されているSMTP認証のパスワードを読めません。"
                                   "設定の「送信の認証・暗号化」でパスワードを入れ直して下さい";
const char UNKNOWN_SECURITY_MESSAGE[] =
    "送信の暗号化の設定が正しくありません。設定の「送信の認証・暗号化」を確認して下さい";
const char SILENT_GREETING_MESSAGE[] =
    "メールサーバーから応答がありません。このポートは最初から暗号化する方式（SSL/TLS）"
    "かもしれません。暗号化を「SSL/TLS」（ポート465）にするか、ポートを確認して下さい";

EhloOffer parse_ehlo_offer(const std::vector<std::string>& lines) {
    EhloOffer offer;
    for (const std::string& line : lines) {
        std::vector<std::string> words = words_of(line);
        if (words.empty())
            continue;
        if (words[0] == "STARTTLS")
            offer.starttls = true;
        if (words[0] != "AUTH")
            continue;
        for (size_t i = 1; i < words.size(); ++i) {
            offer.auth_plain = offer.auth_plain || words[i] == "PLAIN";
            offer.auth_login = offer.auth_login || words[i] == "LOGIN";
        }
    }
    return offer;
}

std::string auth_plain_response(std::string_view account, std::string_view password) {
    std::string token;
    WipeOnExit<std::string> wipe(token);
    token.reserve(account.size() + password.size() + 2);
    token += '\0';
    token.append(account);
    token += '\0';
    token.append(password);
    return base64_encode(token);
}

std::string smtp_account(const SettingsRecord& settings) {
    return field_text(settings.smtp_account);
}

std::string smtp_account_utf8(const SettingsRecord& settings) {
    std::string stored = smtp_account(settings);
    return is_valid_utf8(stored) ? stored : sjis_to_utf8(stored);
}

bool set_smtp_account(SettingsRecord& settings, std::string_view account) {
    if (account.size() >= sizeof settings.smtp_account)
        return false;
    std::memset(settings.smtp_account, 0, sizeof settings.smtp_account);
    std::memcpy(settings.smtp_account, account.data(), account.size());
    return true;
}

bool smtp_password(const SettingsRecord& settings, std::string& password) {
    wipe_secret(password);
    if (settings.smtp_password_size <= 0 ||
        static_cast<size_t>(settings.smtp_password_size) > sizeof settings.smtp_password_blob)
        return false;
    std::string_view blob(reinterpret_cast<const char*>(settings.smtp_password_blob),
                          static_cast<size_t>(settings.smtp_password_size));
    std::string stored;
    WipeOnExit<std::string> wipe(stored);
    if (!unprotect_secret(blob, stored))
        return false;
    std::string_view text = stored;
    if (text.substr(0, UTF8_PASSWORD_MARK.size()) == UTF8_PASSWORD_MARK)
        text.remove_prefix(UTF8_PASSWORD_MARK.size());
    password.reserve(text.size());
    password.assign(text);
    return true;
}

bool set_smtp_password(SettingsRecord& settings, std::string_view password) {
    std::string marked;
    WipeOnExit<std::string> wipe(marked);
    marked.reserve(UTF8_PASSWORD_MARK.size() + password.size());
    marked.append(UTF8_PASSWORD_MARK).append(password);
    std::string blob;
    if (!protect_secret(marked, blob) || blob.size() > sizeof settings.smtp_password_blob)
        return false;
    std::memset(settings.smtp_password_blob, 0, sizeof settings.smtp_password_blob);
    std::memcpy(settings.smtp_password_blob, blob.data(), blob.size());
    settings.smtp_password_size = static_cast<int32_t>(blob.size());
    return true;
}

std::string tls_failure_message(TlsResult result, const std::string& server, uint32_t code) {
    const std::string stopped = "送信を中止しました";
    switch (result) {
    case TLS_OK:
        return {};
    case TLS_TIMED_OUT:
        return "暗号化（TLS）の開始中にメールサーバーの応答が途絶えました";
    case TLS_CLOSED:
        return "暗号化（TLS）の開始中にメールサーバーとの接続が切れました";
    case TLS_NOT_TLS:
        return "メールサーバーが暗号化せずに応答しました。このポートは接続後に暗号化する方式"
               "（STARTTLS）かもしれません。暗号化を「STARTTLS」（ポート587）にするか、"
               "ポートを確認して下さい";
    case TLS_HANDSHAKE_FAILED:
        return "メールサーバーと暗号化（TLS）の手続きができませんでした（" + hex_code(code) +
               "）。" + stopped;
    case TLS_VERSION_REFUSED:
        return "メールサーバーが、このWindowsで使えるTLSの版を受け付けませんでした"
               "（TLS 1.3だけを受け付けるサーバーなど）。" +
               stopped;
    case TLS_OLD_VERSION:
        return "メールサーバーがTLS 1.2より古い暗号化しか使えないため、" + stopped;
    case TLS_UNTRUSTED:
        return server + "の証明書は信頼できる発行元のものではありません。" + stopped;
    case TLS_EXPIRED:
        return server + "の証明書は有効期限外です。" + stopped;
    case TLS_WRONG_HOST:
        return "メールサーバーの証明書は" + server +
               "のものではありません（別のホスト名あての証明書です）。" + stopped;
    case TLS_UNAVAILABLE:
        break;
    }
    return "このコンピューターでは暗号化（TLS）を使えません（" + hex_code(code) + "）";
}

std::string login_refused_message(const std::string& account, const std::string& reply) {
    return "アカウント「" + (is_valid_utf8(account) ? utf8_to_sjis(account) : account) +
           "」でメールサーバーにログインできませんでした。アカウントとパスワードを確認して下さい"
           "\n" +
           reply;
}

} // namespace vntra
