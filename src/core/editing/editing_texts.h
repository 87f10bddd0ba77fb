// Fixed texts of the entry dialog and the day list that are not input
// checks: the failures of the data file the user must hear about.
#ifndef VNTRA_EDITING_EDITING_TEXTS_H
#define VNTRA_EDITING_EDITING_TEXTS_H

#include "text/box_titles.h"

namespace vntra {

const char ENTRY_DIALOG_CAPTION[] = "ｽｹｼﾞｭｰﾙ・ＴｏＤｏ 登録";
const char DAY_LIST_CAPTION[] = "ｽｹｼﾞｭｰﾙ一覧";

// The entry stays on screen as typed, so nothing is lost.
const char SAVE_FAILED_TEXT[] = "データファイルに書き込めないため、保存できませんでした。\n"
                                "入力した内容はそのままです。ほかのプログラムがファイルを"
                                "使っていないか確かめてから、もう一度ＯＫを押してください。";
// An edit never opens on what another record left in the form.
const char LOAD_FAILED_TEXT[] = "データファイルを読み込めないため、この予定を開けませんでした。\n"
                                "ほかのプログラムがファイルを使っていないか確かめてください。";
// The slot was emptied or reused since the list was built.
const char ENTRY_GONE_TEXT[] = "この予定はデータファイルにもう見つかりません。\n"
                               "一覧を開き直してください。";

} // namespace vntra

#endif
