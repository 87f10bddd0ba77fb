// The texts of the schedule CSV files and of the import and export dialogs.
#ifndef VNTRA_EXCHANGE_EXCHANGE_TEXTS_H
#define VNTRA_EXCHANGE_EXCHANGE_TEXTS_H

namespace vntra {

// The first line of every schedule CSV file: the export writes it, the
// import skips it, the error file repeats it.
const char CSV_HEADER_LINE[] =
    "開始年,開始月,開始日,区分,開始時,開始分,終了時,終了分,終了月,終了日,内容,場所";

// Why an import line was rejected: the 13th column of its error line.
const char IMPORT_BAD_KIND[] = "区分が範囲外";
const char IMPORT_BAD_START_YEAR[] = "開始年が範囲外";
const char IMPORT_BAD_START_MONTH[] = "開始月が範囲外";
const char IMPORT_BAD_START_DAY[] = "開始日が範囲外";
const char IMPORT_BAD_START_HOUR[] = "開始（時）が範囲外";
const char IMPORT_BAD_START_MINUTE[] = "開始（分）が範囲外";
const char IMPORT_BAD_END_HOUR[] = "終了（時）が範囲外";
const char IMPORT_BAD_END_MINUTE[] = "終了（分）が範囲外";
const char IMPORT_ZERO_TIMES[] = "開始（時分）、終了（時分）がすべてゼロの状態";
const char IMPORT_TIMES_REVERSED[] = "開始（時分）、終了（時分）が逆転";
const char IMPORT_BAD_END_MONTH[] = "終了月が範囲外";
const char IMPORT_DAYS_REVERSED[] = "開始日と終了日が逆転";
const char IMPORT_BAD_END_DAY[] = "終了日が範囲外";
const char IMPORT_NO_CONTENT[] = "内容が未入力";
// A numeric column that holds something other than a number, by column.
const char* const IMPORT_NOT_A_NUMBER[] = {
    "開始年が数字ではありません", "開始月が数字ではありません", "開始日が数字ではありません",
    "区分が数字ではありません",   "開始時が数字ではありません", "開始分が数字ではありません",
    "終了時が数字ではありません", "終了分が数字ではありません", "終了月が数字ではありません",
    "終了日が数字ではありません",
};
// A UTF-8 row with a character that Shift-JIS cannot hold, or a Shift-JIS
// row with bytes that are no Shift-JIS character.
const char IMPORT_NOT_SJIS[] = "Shift-JISにない文字を含む";
// A good line that the data file would not take.
const char IMPORT_NOT_STORED[] = "データファイルに書き込めない";

// Dialog messages.
const char NO_FILE_GIVEN[] = "ファイルが入力されていません";
const char YEAR_NOT_GIVEN[] = "内容が未入力です";
const char YEAR_TOO_EARLY[] = "2001以上にして下さい";
const char DATE_NOT_GIVEN[] = "日付が未入力です";
const char DATE_INVALID[] = "日付が不正です";
const char DATES_REVERSED[] = "開始日と終了日が逆転しています";
const char EXPORT_FILE_IN_USE[] = "別のアプリケーションでこのファイルが使われています";
const char EXPORT_DONE[] = "エクスポートが終了しました。";
const char EXPORT_DATA_UNREADABLE[] =
    "データファイルを読み込めませんでした。\nエクスポートは行われていません。";
const char EXPORT_WRITE_FAILED[] = "エクスポートファイルに書き込めませんでした。\n"
                                   "ディスクの空き容量を確認して下さい。";
const char ERROR_FILE_IN_USE[] = "エラーファイル（vntraerr.csv）を閉じて下さい";
const char IMPORT_INPUT_UNREADABLE[] = "インポートするファイルを開けませんでした";
const char IMPORT_DONE[] = "インポートが終了しました。";
const char IMPORT_HAS_ERRORS[] = "エラーがあります。";
const char IMPORT_DONE_WITH_ERRORS[] = "インポートが終了しました。\nエラーがあります。";
// The number of rows whose content or place was cut to fit.
const char IMPORT_CUT_NOTE[] = "内容または場所が長すぎるため、%d行を切り詰めました。";
// Short lines: the box breaks long ones wherever it likes.
const char IMPORT_UTF16_HOW_TO_SAVE[] = "Unicode テキスト（UTF-16）のファイルは\n"
                                        "読み込めません。\n"
                                        "Excelの「名前を付けて保存」で、\n"
                                        "ファイルの種類を「CSV UTF-8」または\n"
                                        "「CSV (コンマ区切り)」にして保存し直し、\n"
                                        "もう一度インポートして下さい。";
const char IMPORT_READ_FAILED[] = "ファイルを最後まで読み込めませんでした。";
const char IMPORT_ERROR_FILE_FAILED[] =
    "エラーファイルに書き込めませんでした。\nディスクの空き容量を確認して下さい。";

} // namespace vntra

#endif
