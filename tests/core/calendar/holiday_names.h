// The names the calendar shows, shared by the holiday suites.
#ifndef VNTRA_TESTS_CALENDAR_HOLIDAY_NAMES_H
#define VNTRA_TESTS_CALENDAR_HOLIDAY_NAMES_H

namespace vntra::holiday_names {

inline const char* const NONE = "";
inline const char* const NEW_YEAR = "元旦";
inline const char* const COMING_OF_AGE = "成人の日";
inline const char* const FOUNDATION = "建国記念日";
inline const char* const EMPEROR = "天皇誕生日";
inline const char* const SPRING = "春分の日";
inline const char* const SHOWA = "昭和の日";
inline const char* const GREENERY = "みどりの日";
inline const char* const CONSTITUTION = "憲法記念日";
inline const char* const CHILDREN = "こどもの日";
inline const char* const MARINE = "海の日";
inline const char* const MOUNTAIN = "山の日";
inline const char* const AGED = "敬老の日";
inline const char* const AUTUMN = "秋分の日";
inline const char* const HEALTH_SPORTS = "体育の日";
inline const char* const SPORTS = "スポーツの日";
inline const char* const CULTURE = "文化の日";
inline const char* const LABOUR = "勤労感謝の日";
inline const char* const ENTHRONEMENT = "天皇の即位の日";
inline const char* const ENTHRONEMENT_CEREMONY = "即位礼正殿の儀の行われる日";
inline const char* const REST_DAY = "国民の休日";
inline const char* const SUBSTITUTE = "振り替え休日";

} // namespace vntra::holiday_names

#endif
