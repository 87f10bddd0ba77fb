#include "mail/server_link.h"

#include "store/schedule_record.h"

namespace vntra {
namespace mail_link {

const char NO_ANSWER[] = "メールサーバーから応答がありません";
const char CONNECTION_LOST[] = "メールサーバーとの接続が切れました";

std::string quotable(std::string_view line) {
    std::string shown;
    for (size_t i = 0; i < line.size() && i < QUOTED_LINE_BYTES; ++i) {
        unsigned char b = static_cast<unsigned char>(line[i]);
        shown += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '?';
    }
    return shown;
}

const char* failure_text(NetResult result) {
    return result == NET_TIMED_OUT ? NO_ANSWER : CONNECTION_LOST;
}

std::string naming_server(const std::string& failure, const std::string& server) {
    if (failure == NO_ANSWER)
        return "メールサーバー（" + server + "）から応答がありません";
    if (failure == CONNECTION_LOST)
        return "メールサーバー（" + server + "）との接続が切れました";
    return failure;
}

void abandon(ServerLink& link, TlsStream& connection, MailUi& ui, const std::string& why,
             const std::string& server) {
    if (!link.broken())
        link.send("QUIT\r\n");
    connection.close();
    ui.show_message(MESSAGE_ERROR, naming_server(why, server));
}

bool valid_port(int port) {
    return port > 0 && port <= 65535;
}

bool pop_dialogue(ServerLink& link, const SettingsRecord& settings, std::string& failure) {
    bool ok = false;
    std::string reply;
    NetResult result = link.read_pop_reply(ok, reply);
    if (result != NET_OK || !ok) {
        failure = result != NET_OK ? failure_text(result)
                                   : "POPサーバーがエラーを返しました（接続）\n" + reply;
        return false;
    }
    const std::string login[] = {"USER " + field_text(settings.pop_account) + "\r\n",
                                 "PASS " + field_text(settings.pop_password) + "\r\n"};
    for (const std::string& command : login) {
        result = link.send(command);
        if (result == NET_OK)
            result = link.read_pop_reply(ok, reply);
        if (result != NET_OK || !ok) {
            failure = result != NET_OK ? failure_text(result)
                                       : "POPサーバーにログインできませんでした\n" + reply;
            return false;
        }
    }
    // LIST only shows the server that the login is used; it may be refused.
    result = link.send("LIST\r\n");
    if (result == NET_OK)
        result = link.read_pop_reply(ok, reply);
    if (result == NET_OK && ok)
        result = link.skip_pop_listing();
    if (result != NET_OK) {
        failure = failure_text(result);
        return false;
    }
    // The login has done its work; how the server takes its QUIT does not matter.
    if (link.send("QUIT\r\n") == NET_OK)
        link.read_pop_reply(ok, reply);
    return true;
}

bool open_socket_for(MailUi& ui, MessageStyle style, NetLayer& net, const std::string& server,
                     NetAddress& address, TcpConnection& connection) {
    if (!net.started()) {
        ui.show_message(MESSAGE_ERROR, "WSAStartup エラーです");
        return false;
    }
    if (!resolve_host(server, address)) {
        ui.show_message(style, server + "が見つかりません");
        return false;
    }
    if (!connection.open()) {
        ui.show_message(style, "ソケットをオープンできません");
        return false;
    }
    return true;
}

bool log_in_to_pop(MailContext& context) {
    MailUi& ui = context.ui;
    const SettingsRecord& settings = context.settings;
    NetLayer net;
    std::string server = field_text(settings.pop_server);
    NetAddress address;
    TcpConnection connection;
    if (!open_socket_for(ui, MESSAGE_PLAIN_ERROR, net, server, address, connection))
        return false;
    NetResult result =
        valid_port(settings.pop_port)
            ? connection.connect(address, settings.pop_port, context.options.timeout_ms)
            : NET_FAILED;
    if (result != NET_OK) {
        connection.close();
        if (result == NET_TIMED_OUT)
            ui.show_message(MESSAGE_ERROR, naming_server(NO_ANSWER, server));
        else
            ui.show_message(MESSAGE_PLAIN_ERROR, "サーバーソケットに接続失敗");
        return false;
    }
    TlsStream stream(connection);
    ServerLink link(stream, context.options.timeout_ms);
    std::string failure;
    if (!pop_dialogue(link, settings, failure)) {
        abandon(link, stream, ui, failure, server);
        return false;
    }
    connection.close();
    return true;
}

} // namespace mail_link
} // namespace vntra
