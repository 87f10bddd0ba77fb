// The texts of the iCalendar import and export: the reasons an event was
// not taken, as its error line gives them, and the dialogs' messages.
#ifndef VNTRA_EXCHANGE_ICAL_TEXTS_H
#define VNTRA_EXCHANGE_ICAL_TEXTS_H

namespace vntra {

// The first line of the error file of an iCalendar import.
const char ICAL_ERROR_HEADER[] = "内容,開始日時,理由";

// Why an event was not taken.
const char ICAL_NO_START[] = "開始日時がない";
const char ICAL_UNREADABLE[] = "日時が読めない";
const char ICAL_UNKNOWN_ZONE[] = "タイムゾーンが不明";
const char ICAL_END_BEFORE_START[] = "終了が開始より前";
const char ICAL_RULE_MALFORMED[] = "繰り返しの規則が読めない";
const char ICAL_RULE_UNSUPPORTED[] = "繰り返しの規則に対応していない";
const char ICAL_TOO_MANY[] = "繰り返しの回数が多すぎる";
const char ICAL_SPAN_TOO_LONG[] = "期間が長すぎる（１年未満まで）";

// Dialog messages.
const char ICAL_NOT_READABLE[] = "iCalendarファイルとして読み込めませんでした。";
const char ICAL_CUT_SHORT[] = "iCalendarファイルが途中で切れています。\n何も取り込んでいません。";
const char ICAL_READ_FAILED[] =
    "ファイルを最後まで読み込めませんでした。\n何も取り込んでいません。";
const char ICAL_UTF16[] = "UTF-16のiCalendarファイルは読み込めません。\n"
                          "UTF-8で保存し直して下さい。";
const char ICAL_MEMORY_UNREADABLE[] =
    "取り込み済みの記録（vntraical.fil）を読み込めませんでした。\n何も取り込んでいません。";
const char ICAL_DATA_UNREADABLE[] =
    "データファイルを読み込めませんでした。\n何も取り込んでいません。";
const char ICAL_MEMORY_NOT_SAVED[] =
    "取り込み済みの記録を保存できませんでした。\n同じファイルを再び取り込むと予定が重なります。";

} // namespace vntra

#endif
