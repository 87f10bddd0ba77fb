// The titles of the program's message boxes: "エラー" for what the user must
// correct or cannot do, "確認" for questions and notices.
#ifndef VNTRA_TEXT_BOX_TITLES_H
#define VNTRA_TEXT_BOX_TITLES_H

namespace vntra {

const char CONFIRM_TITLE[] = "確認";
const char ERROR_TITLE[] = "エラー";

} // namespace vntra

#endif
