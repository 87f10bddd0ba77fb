// Fixed texts of the calendar window's questions and complaints.
#ifndef VNTRA_CALENDAR_WINDOW_WINDOW_TEXTS_H
#define VNTRA_CALENDAR_WINDOW_WINDOW_TEXTS_H

#include "text/box_titles.h"

namespace vntra {

const char DELETE_QUESTION[] = "削除しますか";
// A deletion that did not reach the data file must not look done.
const char DELETE_FAILED_TEXT[] = "データファイルに書き込めないため、削除できませんでした。\n"
                                  "ほかのプログラムがファイルを使っていないか確かめてください。";

} // namespace vntra

#endif
