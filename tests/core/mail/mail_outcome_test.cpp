// How a send ended, as callers that try again later need to know it: a
// refusal is final, anything else may pass. Runs against the peers of
// scripts/stages/mail-peers.sh and is skipped without them.
#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "mail/smtp_session.h"

namespace vntra {
namespace {

using testing::fresh_address;
using testing::peer_port;
using testing::peer_settings;

TEST(MailPeerOutcome, RefusalsAreFinalOtherFailuresMayPass) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Case {
        const char* port_variable; // null: loopback port 1, where nothing listens
        std::string sender;
        std::string recipient;
        MailOutcome outcome;
    };
    const Case cases[] = {
        {"VNTRA_SMTP_PORT", "me@example.jp", "to", MAIL_SENT},
        {"VNTRA_SMTP_PORT", "me@example.jp", "refuse", MAIL_REFUSED},
        // The last failure must not stay behind for the next send.
        {nullptr, "me@example.jp", "to", MAIL_MAY_PASS},
        {"VNTRA_SMTP_PORT", "bad@example.jp", "to", MAIL_REFUSED},
        {"VNTRA_SMTP_PORT", "me@example.jp", "busy", MAIL_MAY_PASS},
        {"VNTRA_SMTP_PORT", "me@example.jp", "full", MAIL_REFUSED},
        {"VNTRA_SMTP_PORT", "me@example.jp", "to", MAIL_SENT},
        {"VNTRA_ODD_SILENT_PORT", "me@example.jp", "to", MAIL_MAY_PASS},
        {"VNTRA_ODD_CLOSE_PORT", "me@example.jp", "to", MAIL_MAY_PASS},
        {"VNTRA_ODD_REFUSE_PORT", "me@example.jp", "to", MAIL_REFUSED},
    };
    SettingsRecord settings = peer_settings(0, "");
    testing::MailRun run(settings);
    run.context.options.timeout_ms = 400;
    for (const Case& c : cases) {
        settings.smtp_port = c.port_variable ? peer_port(c.port_variable) : 1;
        set_text(settings.sender_address, c.sender);
        set_text(settings.recipient_address, fresh_address(c.recipient));
        run.ui.messages.clear();
        bool sent = send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET);
        EXPECT_EQ(c.outcome == MAIL_SENT, sent) << c.recipient;
        EXPECT_EQ(c.outcome, run.context.outcome)
            << (c.port_variable ? c.port_variable : "closed port") << " " << c.recipient;
        EXPECT_EQ(sent ? 0u : 1u, run.ui.messages.size());
    }
}

TEST(MailOutcome, SettingsThatCannotBeUsedMayBeCorrected) {
    SettingsRecord settings = peer_settings(1, "to@example.jp");
    set_text(settings.recipient_address, "to@example.jp\r\nRSET");
    testing::MailRun run(settings);
    run.context.outcome = MAIL_REFUSED;
    EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    EXPECT_EQ(MAIL_MAY_PASS, run.context.outcome);
}

} // namespace
} // namespace vntra
