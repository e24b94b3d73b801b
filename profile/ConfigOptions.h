#pragma once
// The options of "config.ini" beside the program that place the profiles, with their defaults.
#include <string>
#include <utility>
#include <vector>

inline constexpr char16_t kConfigFileName[] = u"config.ini";

inline constexpr char16_t kOptionsSection[] = u"options";
inline constexpr char16_t kProfileRegFolderKey[] = u"ProfileRegFolder";
inline constexpr char16_t kProfileFolderKey[] = u"profileFolder";
inline constexpr char16_t kProfilePrefixKey[] = u"profilePrefix";
inline constexpr char16_t kProfileMacroFolderKey[] = u"profileMacroFolder";
inline constexpr char16_t kOtherConfigSection[] = u"OtherConfig";
inline constexpr char16_t kNoLogoKey[] = u"NoLogo";
inline constexpr char16_t kHelpFilesSection[] = u"HelpFiles";
inline constexpr char16_t kMuteFeedbackSection[] = u"MuteFeedback";
inline constexpr char16_t kMuteFeedbackTrayIconKey[] = u"TrayIcon";
inline constexpr char16_t kMuteFeedbackIndicatorKey[] = u"Indicator";
inline constexpr char16_t kMuteFeedbackSoundKey[] = u"Sound";

inline constexpr char16_t kDefaultProfileRegFolder[] = u"software\\QelHV730gmmouse";
inline constexpr char16_t kDefaultProfileFolder[] = u"Profile";
inline constexpr char16_t kDefaultProfilePrefix[] = u"Profile";
inline constexpr char16_t kDefaultProfileMacroFolder[] = u"MacroDB";
// Put before whatever "ProfileRegFolder" gives, its default included: the configuration program
// uses the same doubled "software\software\..." key.
inline constexpr char16_t kProfileRegFolderPrefix[] = u"software\\";

struct TOptionsFromConfigFile {
    std::u16string ProfileRegFolder;
    std::u16string ProfileFolder;
    std::u16string ProfileNamePrefix;
    std::u16string ProfileMacroFolder;
};

// What the user sees and hears of the microphone's state: the "MuteFeedback" section, each
// switch 1 or 0. Only a 0 switches one off: absent or damaged, it stays on.
struct TMuteFeedbackOptions {
    bool TrayIcon = true;
    bool Indicator = true;
    bool Sound = true;
};

// The "HelpFiles" section: each key with its value, in the section's order.
using THelpFileList = std::vector<std::pair<std::u16string, std::u16string>>;
