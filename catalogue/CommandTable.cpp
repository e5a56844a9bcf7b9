#include "catalogue/CommandTable.h"

#include "catalogue/ReferenceDatabase.h"

#include <iterator>

namespace {

// Slices of the reference database. Each starts after its section marker and stops before the
// next one, so no marker ever reaches a list; level headings inside a slice are ordinary entries.
constexpr ParamSource kEnvironmentObjectBlocks[] = {StringRange{102, 183}};
constexpr ParamSource kEnvironmentObjectAnimations[] = {StringRange{185, 325}};
constexpr ParamSource kCharacters[] = {StringRange{337, 1225}};
constexpr ParamSource kTriggerVolumeNames[] = {StringRange{1881, 2187}};
// Ends two entries before the next marker: 2366 and 2367 are not offered.
constexpr ParamSource kTriggerVolumeNumbers[] = {StringRange{2301, 2365}};
constexpr ParamSource kTriggers[] = {StringRange{2369, 2497}};
constexpr ParamSource kDoors[] = {StringRange{2499, 2696}};
constexpr ParamSource kConsoles[] = {StringRange{2698, 2819}};
constexpr ParamSource kTextConsoles[] = {StringRange{2831, 2898}};
constexpr ParamSource kEnvironmentParts[] = {StringRange{2900, 3055}};
constexpr ParamSource kObjectBlocks[] = {StringRange{3057, 3156}};
constexpr ParamSource kObjectives[] = {StringRange{3324, 3400}};
constexpr ParamSource kTurrets[] = {StringRange{3402, 3410}};
constexpr ParamSource kFlags[] = {StringRange{3412, 3699}};
constexpr ParamSource kPaths[] = {StringRange{3701, 3922}};
constexpr ParamSource kFilms[] = {StringRange{3924, 4246}};
constexpr ParamSource kSavePoints[] = {StringRange{4258, 4323}};
constexpr ParamSource kSplashScreens[] = {StringRange{4325, 4353}};
constexpr ParamSource kCinematicPictures[] = {StringRange{4355, 4414}};
constexpr ParamSource kBlockingEnvironmentAnimations[] = {StringRange{4416, 4432}};
constexpr ParamSource kAnimationTypes[] = {StringRange{4434, 4458}};
constexpr ParamSource kBlockingCharacterAnimations[] = {StringRange{4460, 4470}};
constexpr ParamSource kAnimationStates[] = {StringRange{4472, 4473}};
constexpr ParamSource kDialogueLines[] = {StringRange{4475, 4476}};
constexpr ParamSource kAnimationSets[] = {StringRange{4478, 4481}};
constexpr ParamSource kAlarmConsoles[] = {StringRange{4483, 4504}};
constexpr ParamSource kAlarms[] = {StringRange{4506, 4518}};
constexpr ParamSource kEnvironmentAnimations[] = {StringRange{4520, 4640}};
constexpr ParamSource kCharacterAnimations[] = {StringRange{4642, 4910}};
constexpr ParamSource kWeapons[] = {StringRange{4912, 4926}};
constexpr ParamSource kCharacterCreations[] = {StringRange{4928, 4964}};
constexpr ParamSource kBlockingCameraInterpolations[] = {StringRange{4966, 5094}};
constexpr ParamSource kCameraInterpolations[] = {StringRange{5096, 5422}};
constexpr ParamSource kCameraAnimations[] = {StringRange{5424, 5517}};
constexpr ParamSource kBlockingCameraAnimations[] = {StringRange{5519, 5553}};

// Slices followed by literals the database does not hold.
constexpr ParamSource kCharactersThenZeroOne[] = {StringRange{337, 1225}, "0", "1"};
constexpr ParamSource kKeyGroups[] = {StringRange{4248, 4256}, "keys_hypo", "keys_walk"};

// Value lists shared by several commands.
constexpr ParamSource kTenths[] = {"0.1", "0.2", "0.3", "0.4", "0.5",
                                   "0.6", "0.7", "0.8", "0.9", "1"};
constexpr ParamSource kCounts[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10",
                                   "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
                                   "21", "22", "23", "24", "25", "26", "27", "28", "29", "30"};
constexpr ParamSource kComparisons[] = {"eq 0", "ne 0", "eq 1", "ne 1"};
constexpr ParamSource kPowerUps[] = {"ammo", "cell", "shield", "invis", "hypo"};

constexpr ParamSource kZeroOne[] = {"0", "1"};
constexpr ParamSource kSetZeroOne[] = {"= 0", "= 1"};
constexpr ParamSource kZeroComparisons[] = {"eq 0", "ne 0"};
constexpr ParamSource kOneComparisons[] = {"eq 1", "ne 1"};
constexpr ParamSource kOnOff[] = {"on", "off"};
constexpr ParamSource kAlertStates[] = {"high", "medium", "low"};
constexpr ParamSource kMovementModes[] = {"walk", "run", "run_noaim", "creep"};
constexpr ParamSource kTeams[] = {"Syndicate", "Konoko", "tctf"};
constexpr ParamSource kFlashableHudParts[] = {"compass", "health"};
constexpr ParamSource kHudSides[] = {"left", "right"};
constexpr ParamSource kTriggerVolumeEvents[] = {"all", "entry", "inside", "exit"};
constexpr ParamSource kPlaybackModes[] = {"fromhere", "interp"};
constexpr ParamSource kBarabus[] = {"barabus"};
constexpr ParamSource kNone[] = {"none"};
constexpr ParamSource kForce[] = {"force"};
constexpr ParamSource kStart[] = {"start"};
constexpr ParamSource kNoRotation[] = {"norotation"};
constexpr ParamSource kHurt[] = {"hurt"};
constexpr ParamSource kSilent[] = {"silent"};
constexpr ParamSource kAutosave[] = {"autosave"};
constexpr ParamSource kPause[] = {"pause"};

// The sound section keeps each level's ambient sounds, dialogue, impulse sounds and music in one
// unmarked run, and its own level headings are not the ones these lists show; so each list pairs
// a heading of its own with the level's slice, one level to a line.
constexpr ParamSource kAmbientSounds[] = {
    "01- Syndicate Warehouse ==============================", StringRange{1426, 1434},
    "02- Manufacturing Plant ==============================", StringRange{1729, 1731},
    "03- Bio-Research Lab. ==============================", StringRange{1692, 1699},
    "04- Airport Assault ==============================", StringRange{1586, 1588},
    "05- Airport Cargo Hangers ==============================", StringRange{1437, 1441},
    "06- TCTF Regional HQ. ==============================", StringRange{1462, 1471},
    "07- Atmosphere Conversion Cent. (Ext.) ==============================", StringRange{1813, 1824},
    "08- Atmosphere Conversion Cent. (Int.) ==============================", StringRange{1835, 1841},
    "09- Regional State Building ==============================", StringRange{1319, 1320},
    "10- Rooftops ==============================", StringRange{1229, 1234},
    "11- Dr.Hasegawa's Lab. ==============================", StringRange{1544, 1544},
    "12- TCTF Science Prison #112 ==============================", StringRange{1677, 1688},
    "13- TCTF Regional HQ. (Redux) ==============================", StringRange{1265, 1271},
    "14- Mountain Compound ==============================", StringRange{1546, 1563},
};

constexpr ParamSource kDialogueSounds[] = {
    "Level 01- Syndicate Warehouse ==============================", StringRange{1332, 1395},
    "Level 02- Manufacturing Plant ==============================", StringRange{1732, 1786},
    "Level 03- Bio-Research Lab. ==============================", StringRange{1700, 1718},
    "Level 04- Airport Assault ==============================", StringRange{1592, 1606},
    "Level 05- Airport Cargo Hangers ==============================", StringRange{1452, 1457},
    "Level 06- TCTF Regional HQ. ==============================", StringRange{1472, 1485},
    "Level 07- Atmosphere Conversion Cent. (Ext.) ==============================", StringRange{1788, 1807},
    "Level 08- Atmosphere Conversion Cent. (Int.) ==============================", StringRange{1843, 1880},
    "Level 09- Regional State Building ==============================", StringRange{1308, 1317},
    "Level 10- Rooftops ==============================", StringRange{1235, 1253},
    "Level 11- Dr.Hasegawa's Lab. ==============================", StringRange{1497, 1541},
    "Level 12- TCTF Science Prison #112 ==============================", StringRange{1615, 1675},
    "Level 13- TCTF Regional HQ. (Redux) ==============================", StringRange{1272, 1306},
    "Level 14- Mountain Compound ==============================", StringRange{1564, 1580},
};

constexpr ParamSource kImpulseSounds[] = {
    "Level 01- Syndicate Warehouse ==============================", StringRange{1435, 1435},
    "Level 03- Bio-Research Lab. ==============================", StringRange{1720, 1721},
    "Level 08- Atmosphere Conversion Cent. (Int.) ==============================", StringRange{1842, 1842},
    "Level 09- Regional State Building ==============================", StringRange{1318, 1318},
    "Level 10- Rooftops ==============================", StringRange{1228, 1228},
    "Level 11- Dr.Hasegawa's Lab. ==============================", StringRange{1542, 1543},
    "Level 12- TCTF Science Prison ==============================", StringRange{1676, 1676},
};

constexpr ParamSource kMusicTracks[] = {
    "Level 01- Syndicate Warehouse ==============================", StringRange{1326, 1331},
    "Level 02- Manufacturing Plant ==============================", StringRange{1723, 1728},
    "Level 03- Bio-Research Lab. ==============================", StringRange{1690, 1691},
    "Level 04- Airport Assault ==============================", StringRange{1589, 1591},
    "Level 05- Airport Cargo Hangers ==============================", StringRange{1442, 1447},
    "Level 06- TCTF Regional HQ. ==============================", StringRange{1459, 1461},
    "Level 07- Atmosphere Conversion Cent. (Ext.) ==============================", StringRange{1808, 1812},
    "Level 08- Atmosphere Conversion Cent. (Int.) ==============================", StringRange{1826, 1834},
    "Level 09- Regional State Building ==============================", StringRange{1321, 1324},
    "Level 10- Rooftops ==============================", StringRange{1254, 1257},
    "Level 11- Dr.Hasegawa's Lab. ==============================", StringRange{1487, 1495},
    "Level 12- TCTF Science Prison ==============================", StringRange{1609, 1614},
    "Level 13- TCTF Regional HQ. (Redux) ==============================", StringRange{1259, 1264},
    "Level 14- Mountain Compound ==============================", StringRange{1581, 1584},
};

// Prompts put into the custom value box; each stands where the user has to type the value.
constexpr std::string_view kDelayPlaceholder =
    "< REPLACE WITH 'INT' THAT REPRESENTS THE TIME OF DELAY >";
constexpr std::string_view kPowerUpCountPlaceholder =
    "< REPLACE WITH 'INT' REPRESENT THE NUMBER OF POWER-UP TO BE GIVEN TO THE SELECTED CHARACTER >";
constexpr std::string_view kPoisonPlaceholder =
    "< DAMAGE'INT' > , < INTERVAL'INT' > , < INIT_INTERV'INT' >";
constexpr std::string_view kHealthPlaceholder =
    "< REPLACE WITH 'INT' REPRESENTS THE HEALTH UNITS TO BE GIVEN TO THE SELECTED CHARACTER >";
constexpr std::string_view kSlowMotionPlaceholder =
    "< REPLACE WITH 'INT' REPRESINTING THE TIME IN MILLISECONDS >";
constexpr std::string_view kObjectShadePlaceholder =
    "< REPLACE WITH RGB COLOR REFERENCE \"FLOAT\" >";
constexpr std::string_view kTriggerSpeedPlaceholder =
    "< REPLACE WITH A VOLUME \"FLOAT\" >";
constexpr std::string_view kNumberPlaceholder =
    "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >";
constexpr std::string_view kMessagePlaceholder =
    "< REPLACE WITH THE MESSAGE YOU WANT TO BE DISPLAYED >";
constexpr std::string_view kBarabusCameraPlaceholder =
    "< REPLACE WITH 'INT' REPRESENTING THE TIME YOU WANT THE CAMERA TO THE FUNCTION IN MILLISECONDS >";
constexpr std::string_view kInterpolationTimePlaceholder =
    "< REPLACE WITH 'INT' REPRESENTS THE TIMER FOR THE CAMERA TO REACH THE TARGET >";
constexpr std::string_view kFadeInPlaceholder =
    "< REPLACE WITH 'INT' REPRESENTING THE FRAME NUMBERS >";
constexpr std::string_view kFadeOutPlaceholder =
    "< REPLACE WITH 'INT' RGB COLOR REFERENCE AND NUMBER OF FRAMES \"INT\" >";
constexpr std::string_view kEnvironmentShadePlaceholder =
    "< REPLACE WITH \"FLOAT\" RGB COLOR REFERENCE >";

constexpr std::string_view kPlaceholderTexts[] = {
    kDelayPlaceholder,
    kPowerUpCountPlaceholder,
    kPoisonPlaceholder,
    kHealthPlaceholder,
    kSlowMotionPlaceholder,
    kObjectShadePlaceholder,
    kTriggerSpeedPlaceholder,
    kNumberPlaceholder,
    kMessagePlaceholder,
    kBarabusCameraPlaceholder,
    kInterpolationTimePlaceholder,
    kFadeInPlaceholder,
    kFadeOutPlaceholder,
    kEnvironmentShadePlaceholder,
};

constexpr ScriptCommand kAi2Commands[] = {
    {"ai2_active", kCharacters, kZeroOne, {}, "forces an AI into active mode"},
    {"ai2_allpassive", kZeroOne, {}, {}, "stops all AIs from thinking for themselves"},
    {"ai2_attack", kCharacters, kCharacters, {}, "forces an AI to attack another character"},
    {"ai2_barabbas_retrievegun", kBarabus, {}, {}, "makes barabbas retrieve his gun if it is lost"},
    {"ai2_barabbas_run", kZeroOne, {}, {}, "lets Barabbas run while carrying his gun"},
    {"ai2_blind", kCharactersThenZeroOne, {}, {}, "turns off the AI's visual sensing system"},
    {"ai2_boss_battle", kZeroOne, {}, {}, "enables AI boss-battle target selection"},
    {"ai2_chump", {}, {}, {}, "creates a chump - UNKNOWN COMMAND"},
    {"ai2_chump_stop", {}, {}, {}, "stops the chump - UNKNOWN COMMAND"},
    {"ai2_comehere", kCharacters, {}, {}, "tells an AI to come to the player"},
    {"ai2_deaf", kCharacters, kZeroOne, {}, "turns off the AI's sound sensing system"},
    {"ai2_debug_localmovement", {}, {}, {}, "debug local-movement code from player's position"},
    {"ai2_debug_localpathfinding", {}, {}, {},
     "debug local-path code from player's position and facing"},
    {"ai2_debug_makesound", {}, {}, {}, "causes the player to make a sound (alerts nearby AIs)"},
    {"ai2_debug_showsettingIDs", {}, {}, {},
     "shows ID numbers for combat, melee and neutral settings"},
    {"ai2_doalarm", kCharacters, kAlarmConsoles, {}, "tells an AI to run for an alarm"},
    {"ai2_dopath", kCharacters, kPaths, kZeroOne, "tells an AI to run a particular path"},
    {"ai2_findconnections", kCounts, {}, {},
     "finds all BNV connections from the player's location - NOT SURE"},
    {"ai2_followme", kCharacters, {}, {}, "tells an AI to follow the player"},
    {"ai2_forget", kCharacters, {}, {}, "makes one or all AIs forget they saw anything"},
    {"ai2_idle", kCharacters, {}, {}, "tells an AI to become idle"},
    {"ai2_ignore_player", kZeroOne, {}, {}, "makes all AI ignore the player"},
    {"ai2_inactive", kCharacters, {}, {}, "forces an AI into inactive mode"},
    {"ai2_kill", kCharacters, {}, {}, "kills one or more AIs"},
    {"ai2_lookatchar", kCharacters, kCharacters, {}, "tells an AI to look at a character"},
    {"ai2_lookatme", kCharacters, {}, {}, "tells an AI to look at the player"},
    {"ai2_makeaware", kCharacters, kCharacters, {}, "makes an AI aware of another character"},
    {"ai2_makeblind", kCharacters, kZeroOne, {}, "makes a single AI blind"},
    {"ai2_makedeaf", kCharacters, kZeroOne, {}, "makes a single AI deaf"},
    {"ai2_makeignoreplayer", kCharacters, kZeroOne, {}, "makes a single AI ignore the player"},
    {"ai2_melee_weightcorrection", {}, {}, {},
     "weights down non-attack techniques so they are never more than attacks - UNKNOWN COMMAND"},
    {"ai2_movetoflag", kCharacters, kFlags, {}, "tells an AI to move to a flag"},
    {"ai2_neutralbehavior", kCharacters, kNone, {}, "sets up an AI's neutral-interaction"},
    {"ai2_noncombatant", kCharacters, kZeroOne, {}, "sets or clears an AI's non-combatant state"},
    {"ai2_panic", kCharacters, kZeroOne, {}, "makes an AI panic or not panic"},
    {"ai2_passive", kCharacters, kZeroOne, {}, "stops an AI from thinking for itself"},
    {"ai2_pathdebugsquare", {}, {}, {},
     "selects a path square in the player's BNV for debugging - UNKNOWN"},
    {"ai2_printbnvindex", {}, {}, {}, "prints the index of the player's BNV - UNKNOWN"},
    {"ai2_printspawn", {}, {}, {}, "prints information about each AI spawn - UNKNOWN"},
    {"ai2_report", kCharacters, kZeroOne, {}, "tells an AI to report in - NOT SURE"},
    {"ai2_report_verbose", kCharacters, kZeroOne, {},
     "tells an AI to report in verbosely - NOT SURE"},
    {"ai2_reset", kZeroOne, {}, {}, "resets AI as if start of level - NOT SURE"},
    {"ai2_set_handlesilenterror", kZeroOne, {}, {},
     "sets whether handled errors are silent - UNKNOWN"},
    {"ai2_set_logerror", {}, {}, {}, "sets the level of errors to log to file - UNKNOWN"},
    {"ai2_set_reporterror", {}, {}, {}, "sets the level of errors to report at console - UNKNOWN"},
    {"ai2_setalert", kCharacters, kAlertStates, {}, "sets the alert state of an AI - NOT SURE"},
    {"ai2_setjobstate", kCharacters, {}, {}, "tells an AI to take its current state as its job"},
    {"ai2_setmovementmode", kCharacters, kMovementModes, {}, "sets an AI's current movement mode"},
    {"ai2_showactivationpaths", kZeroOne, {}, {},
     "turns on inactive -> active pathfinding rendering - NOT SURE"},
    {"ai2_showastar", kZeroOne, {}, {},
     "shows grid squares that are evaluated by the A* pathfinding - NOT SURE"},
    {"ai2_showcombatranges", kZeroOne, {}, {},
     "shows circles that represent the combat ranges of each AI - NOT SURE"},
    {"ai2_showconnections", kZeroOne, {}, {},
     "turns on pathfinding connection rendering - NOT SURE"},
    {"ai2_showdynamicgrids", kZeroOne, {}, {},
     "turns on pathfinding dynamic grid display - NOT SURE"},
    {"ai2_showfights", kZeroOne, {}, {}, "shows fights in progress - NOT SURE"},
    {"ai2_showfiringspreads", kZeroOne, {}, {}, "shows AI firing spread knowledge - NOT SURE"},
    {"ai2_showgrids", kZeroOne, {}, {}, "turns on pathfinding grid rendering - NOT SURE"},
    {"ai2_showhealth", kZeroOne, {}, {},
     "draws a health bar for every AI above their head - NOT SURE"},
    {"ai2_showintersections", kZeroOne, {}, {}, "debug AI's melee intersections - NOT SURE"},
    {"ai2_showjoblocations", kZeroOne, {}, {},
     "draws a green cross at each AI's job location - NOT SURE"},
    {"ai2_showlasers", kZeroOne, {}, {}, "turns on laser sights for AI2 characters - NOT SURE"},
    {"ai2_showlinetochar", kZeroOne, {}, {}, "draws a line from the player to every AI - NOT SURE"},
    {"ai2_showlocalmelee", kZeroOne, {}, {}, "shows local-environment melee awareness - NOT SURE"},
    {"ai2_showlos", kZeroOne, {}, {}, "shows AI line-of-sight checking - NOT SURE"},
    {"ai2_showmem", kZeroOne, {}, {}, "shows AI memory usage - NOT SURE"},
    {"ai2_shownames", kZeroOne, {}, {}, "draws the name of every AI above their head - NOT SURE"},
    {"ai2_showpathfindingerrors", kZeroOne, {}, {},
     "enables visual display of pathfinding errors - NOT SURE"},
    {"ai2_showpaths", kZeroOne, {}, {}, "shows the path each AI is following - NOT SURE"},
    {"ai2_showprediction", kZeroOne, {}, {}, "shows prediction info for AI2 characters - NOT SURE"},
    {"ai2_showprojectiles", kZeroOne, {}, {}, "shows AI projectile knowledge - NOT SURE"},
    {"ai2_showsounds", kZeroOne, {}, {}, "shows AI sounds as they are generated - NOT SURE"},
    {"ai2_showtargeting", kZeroOne, {}, {}, "shows targeting info for AI2 characters - NOT SURE"},
    {"ai2_showvision", kZeroOne, {}, {},
     "shows each AI's vision cones (central and peripheral) - NOT SURE"},
    {"ai2_skill_bestangle", kTenths, {}, {}, "sets an AI's best aiming angle in degrees"},
    {"ai2_skill_decay", kTenths, {}, {}, "sets an AI's grouping decay"},
    {"ai2_skill_delaymax", {}, {}, {},
     "sets an AI's max delay between shots, in frames", kDelayPlaceholder},
    {"ai2_skill_delaymin", {}, {}, {},
     "sets an AI's min delay between shots, in frames", kDelayPlaceholder},
    {"ai2_skill_error", kTenths, {}, {}, "sets an AI's grouping error"},
    {"ai2_skill_inaccuracy", kTenths, {}, {}, "sets an AI's shooting inaccuracy multiplier"},
    {"ai2_skill_recoil", kTenths, {}, {}, "sets an AI's recoil compensation amount (0-1)"},
    {"ai2_skill_revert", {}, kZeroOne, {},
     "reverts the shooting skill being edited to the saved copy - NOT SURE"},
    {"ai2_skill_save", {}, kZeroOne, {},
     "saves the shooting skill being edited out as a text file - NOT SURE"},
    {"ai2_skill_select", kCharacters, kWeapons, {}, "selects a shooting skill to edit"},
    {"ai2_skill_show", kZeroOne, {}, {}, "shows the currently selected shooting skill - NOT SURE"},
    {"ai2_spacing_cookies", kZeroOne, {}, {}, "number of cookies per fight - NOT SURE"},
    {"ai2_spacing_enable", kZeroOne, {}, {},
     "master enable switch for spacing behavior - NOT SURE"},
    {"ai2_spacing_weights", kZeroOne, {}, {},
     "enables position-sensitive weighting of spacing behaviors - NOT SURE"},
    {"ai2_spawn", kCharacters, kForce, {}, "spawns all AI, even those not initially present"},
    {"ai2_spawnall", {}, {}, {}, "spawns all AI, even those not initially present - NOT SURE"},
    {"ai2_stopignoring_count", {}, {}, {},
     "set the number of events before the AI will stop ignoring - UNKNOWN"},
    {"ai2_stopignoring_time", {}, {}, {},
     "set the delay timer before the AI forgets about ignored events - UNKNOWN"},
    {"ai2_takecontrol", kZeroOne, {}, {},
     "makes the AI movement system take control of the player"},
    {"ai2_tripalarm", kAlarms, kCharacters, {}, "trips an alarm when see a specific character"},
};
static_assert(std::size(kAi2Commands) == 92);

constexpr ScriptCommand kCharacterCommands[] = {
    {"chr_animate", kCharacters, kCharacterAnimations, {}, "plays an animation on a character"},
    {"chr_animate_block", kCharacters, kBlockingCharacterAnimations, {},
     "plays an animation on a character and blocks until done"},
    {"chr_big_head", kZeroOne, {}, {}, "Draws everyone with a big head - NOT SURE"},
    {"chr_boss_shield", kCharacters, {}, {}, "turns on the boss shield for a character"},
    {"chr_changeteam", kCharacters, kTeams, {}, "changes a character's team"},
    {"chr_create", kCharacterCreations, kStart, {},
     "creates a character from a .txt file - UNKNOWN - NOT SURE"},
    {"chr_death_lock", kCharacters, kZeroOne, {}, "this character will not die too much"},
    {"chr_delete", kCharacters, {}, {}, "deletes a character\t"},
    {"chr_dontaim", kCharacters, kZeroOne, {}, "disables the weapon variant for a character"},
    {"chr_envanim", kCharacters, kEnvironmentAnimations, kNoRotation,
     "plays an environment animation on a character"},
    {"chr_envanim_block", kCharacters, kBlockingEnvironmentAnimations, kNoRotation,
     "plays an environment animation on a character and blocks"},
    {"chr_envanim_stop", kEnvironmentAnimations, {}, {},
     "stops any environment animation on a character"},
    {"chr_facetoflag", kCharacters, kFlags, {}, "snaps a character's facing to a flag's facing"},
    {"chr_forceholster", kCharacters, kZeroOne, kZeroOne,
     "forces a character to holster their weapon"},
    {"chr_freeze", kCharacters, kZeroOne, {}, "stops an AI from thinking for itself"},
    {"chr_full_health", kCharacters, {}, {}, "sets a characters health to full by script id"},
    {"chr_givepowerup", kCharacters, kPowerUps, {},
     "gives a character a powerup", kPowerUpCountPlaceholder},
    {"chr_giveweapon", kCharacters, kWeapons, {}, "gives a character a new weapon"},
    {"chr_has_empty_weapon", kCharacters, kComparisons, {},
     "returns if this character is holding a weapon that is empty"},
    {"chr_has_lsi", kCharacters, {}, {}, "records that the character has the lsi"},
    {"chr_holdkey", {}, {}, {}, "forces a character to hold a key down for some frames - UNKNOWN"},
    {"chr_inv_reset", kCharacters, {}, {}, "clears a characters inventory"},
    {"chr_invincible", kSetZeroOne, {}, {}, "makes a character invincible"},
    {"chr_is_player", kCharacters, kComparisons, {}, "returns if this character is the player"},
    {"chr_lock_active", kCharacters, kFlags, {}, "locks the character active"},
    {"chr_neutral", kCharacters, kZeroOne, {}, "stops an AI from thinking for itself"},
    {"chr_nocollision", kCharacters, kZeroOne, {}, "disables collision for a character"},
    {"chr_pain", kCharacters, kHurt, {}, "forces a character to play a pain sound"},
    {"chr_peace", kCharacters, {}, {}, "turns off fight mode"},
    {"chr_playback_block", {}, {}, {}, "plays back a film and blocks until complete - UNKNOWN"},
    {"chr_playback_debug", {}, {}, {}, "dumps stats for a playback film - UNKNOWN"},
    {"chr_poison", kCharacters, {}, {}, "slowly poisons a character", kPoisonPlaceholder},
    {"chr_set_health", kCharacters, kZeroOne, {}, "sets a characters health by script id"},
    {"chr_shadow", kCharacters, kZeroOne, {}, "turns of[f] the shadow for this character"},
    {"chr_super", kCharacters, kTenths, {}, "set's a character's super value"},
    {"chr_talk", kCharacters, kDialogueLines, {}, "causes a character to play a line of dialogue"},
    {"chr_teleport", kCharacters, kFlags, {}, "teleports a character to a flag"},
    {"chr_ultra_mode", kCharacters, kZeroOne, {}, "enables ultra mode for a character"},
    {"chr_unkillable", kCharacters, kSetZeroOne, {}, "makes a character unkillable"},
    {"chr_unlock_active", kCharacters, kZeroOne, {}, "Un/Lock a character"},
    {"chr_unstoppable", kCharacters, kSetZeroOne, {}, "makes a character unstoppable"},
    {"chr_vocalize", kCharacters, kSetZeroOne, {},
     "makes a character utter a vocalization - NOT SURE"},
    {"chr_wait_animation", kCharacters, kAnimationSets, {},
     "waits for a character to play a specific animation"},
    {"chr_wait_animstate", kCharacters, kAnimationStates, {},
     "waits for a character to reach a specific animation state"},
    {"chr_wait_animtype", kCharacters, kAnimationTypes, {},
     "waits for a character to play a specific animation type"},
    {"chr_wait_health", kCharacters, {}, {},
     "waits until a character's health falls below a value then contiune to the next line in "
     "the script",
     kHealthPlaceholder},
    {"chr_weapon_immune", kCharacters, kZeroOne, {}, "makes a character weapon immune"},
};
static_assert(std::size(kCharacterCommands) == 47);

constexpr ScriptCommand kGamePlayCommands[] = {
    {"did_kill_griffen", kZeroComparisons, kOneComparisons, {}, "returns if we did kill griffen"},
    {"difficulty", kZeroComparisons, kOneComparisons, {},
     "returns the difficulty level - NOT SURE"},
    {"input", kZeroOne, {}, {}, "turns input on or off"},
    {"killed_griffen", kZeroOne, {}, {}, "sets if we killed griffen"},
    {"letterbox", kZeroOne, {}, {}, "starts or stops letterboxing"},
    {"lose", {}, {}, {},
     "lose this level - restart from the last save point or the beginning of the level if "
     "there was no save point"},
    {"new_objective", {}, {}, {},
     "Suppresses UI prompting about new objectives or moves. - UNKNOWN"},
    {"objective_set", kObjectives, kSilent, {}, "Sets the current objective page."},
    {"restore_game", {}, {}, {}, "restores the game to the last save point"},
    {"save_game", kSavePoints, kAutosave, {}, "saves the game"},
    {"silent", {}, {}, {}, "Sets the current objective page. - UNKNOWN"},
    {"slowmo", {}, {}, {}, "starts the slowmotion timer - NOT SURE", kSlowMotionPlaceholder},
    {"target_set", kFlags, kTenths, {}, "Sets the target to the specified flag in the compase"},
    {"ui_flash_element", kFlashableHudParts, kZeroOne, {},
     "sets part of the HUD to flash or not flash"},
    {"ui_show_element", kHudSides, kZeroOne, {}, "shows or hides part of the HUD"},
    {"ui_suppress_prompt", kSetZeroOne, {}, {},
     "Suppresses UI prompting about new objectives or moves."},
    {"where", kCharacters, {}, {}, "prints location of a character - NOT SURE"},
    {"who", kSetZeroOne, {}, {}, "prints AIs that are nearby - NOT SURE"},
    {"win", {}, {}, {}, "Win current Level"},
};
static_assert(std::size(kGamePlayCommands) == 19);

constexpr ScriptCommand kWorldObjectCommands[] = {
    {"console_activate", kConsoles, {}, {}, "activates a console"},
    {"console_deactivate", kConsoles, {}, {}, "deactivates a console"},
    {"console_reset", kConsoles, {}, {}, "resets a console to initial state"},
    {"door_close", kDoors, {}, {}, "closes a door (may not stay open)"},
    {"door_jam", kDoors, {}, {}, "jams a door in its current state"},
    {"door_lock", kDoors, {}, {}, "locks a door"},
    {"door_open", kDoors, {}, {}, "opens a door (may not stay open)"},
    {"door_unjam", kDoors, {}, {}, "unjams a door so characters can open it"},
    {"door_unlock", kDoors, {}, {}, "unlocks a door"},
    {"lock_keys", kKeyGroups, {}, {}, "locks keys out"},
    {"marketing_line_off", kSetZeroOne, {}, {}, "turns the laser line off"},
    {"obj_create", kObjectBlocks, {}, {}, "creates a range of objects"},
    {"obj_force_draw", kObjectBlocks, {}, {}, "locks an object as visible"},
    {"obj_hide", kObjectBlocks, {}, {}, "Hides an Object"},
    {"obj_kill", kObjectBlocks, {}, {}, "kills a range of object"},
    {"obj_shade", kObjectBlocks, {}, {}, "changes the shade of an object", kObjectShadePlaceholder},
    {"obj_show", kObjectBlocks, {}, {}, "Shows an Object"},
    {"powerup_spawn", kPowerUps, kFlags, {}, "creates a new powerup"},
    {"reset_mechanics", kZeroOne, {}, {},
     "resets all level mechanics (triggers, turrets, consoles, etc...) to initial state - NOT "
     "SURE"},
    {"text_console", kTextConsoles, {}, {}, "Turns on the text console display"},
    {"turret_activate", kTurrets, kZeroOne, {}, "activates a turret"},
    {"turret_deactivate", kTurrets, kZeroOne, {}, "deactivates a turret"},
    {"turret_reset", kTurrets, {}, {}, "resets a turret to initial state"},
    {"weapon_spawn", kWeapons, kFlags, {}, "creates a new weapon"},
};
static_assert(std::size(kWorldObjectCommands) == 24);

constexpr ScriptCommand kTriggerCommands[] = {
    {"trig_activate", kTriggers, {}, {}, "activates a trigger"},
    {"trig_deactivate", kTriggers, {}, {}, "deactivates a trigger"},
    {"trig_hide", kTriggers, {}, {}, "hides a trigger"},
    {"trig_reset", kTriggers, {}, {}, "resets a trigger to non-triggered state"},
    {"trig_show", kTriggers, {}, {}, "Shows a Trigger"},
    {"trig_speed", kTriggers, {}, {}, "sets a triggers speed", kTriggerSpeedPlaceholder},
    {"trigvolume_corpse", kTriggerVolumeNumbers, {}, {},
     "kills all the corpses inside a trigger volume"},
    {"trigvolume_count", kTriggerVolumeNumbers, kComparisons, {},
     "counts the number of people in a trigger volume", kNumberPlaceholder},
    {"trigvolume_enable", kTriggerVolumeNames, kZeroOne, kTriggerVolumeEvents,
     "enable or disable a trigger volume"},
    {"trigvolume_kill", kTriggerVolumeNumbers, {}, {},
     "kills all the characters inside a trigger volume"},
    {"trigvolume_reset", kTriggerVolumeNames, {}, {},
     "reset a trigger volume to its level-load state"},
    {"trigvolume_setscript", {}, {}, {}, "set the script to call from a trigger volume - UNKNOWN"},
    {"trigvolume_trigger", {}, {}, {}, "fire off a trigger volume - UNKNOWN"},
};
static_assert(std::size(kTriggerCommands) == 13);

constexpr ScriptCommand kMessageCommands[] = {
    {"dmsg", {}, {}, {},
     "debugging message - you can use these '[r] , [g] , [b] , [y]' to change the color of the "
     "displayed message - only the part after the color key u added will be colored - u can "
     "use many of the color keys",
     kMessagePlaceholder},
    {"dprint", {}, {}, {}, "debugging print - unknown - useless"},
    {"message", {}, {}, {}, "sends a message from the subtitle file useless - unknown"},
    {"message_remove", {}, {}, {}, "removes a currently displayed message"},
};
static_assert(std::size(kMessageCommands) == 4);

constexpr ScriptCommand kFilmCommands[] = {
    {"begin_cutscene", {}, {}, {}, "begins a cutscene in the cutscene file"},
    {"cinematic_start", kCinematicPictures, {}, {}, "Shows a picture of a character"},
    {"cinematic_stop", {}, {}, {},
     "stops showing a picture of a character - NOT NEEDED it will be added automatically"},
    {"cutscene_sync", kOnOff, {}, {}, "marks a point in a cutscene"},
    {"end_cutscene", {}, {}, {}, "Finishs a Cutscene after starting one"},
    {"playback", kCharacters, kFilms, kPlaybackModes, "plays back a film"},
    {"splash_screen", kSplashScreens, {}, {}, "displays a splash screen - NOT SURE"},
};
static_assert(std::size(kFilmCommands) == 7);

constexpr ScriptCommand kCameraCommands[] = {
    {"cm_anim both", kCameraAnimations, {}, {}, "initiates a camera animation"},
    {"cm_anim_block both", kBlockingCameraAnimations, {}, {}, "initiates a camera animation"},
    {"cm_barabus", kCharacters, kTenths, kTenths,
     "special camera for barabus - not sure", kBarabusCameraPlaceholder},
    {"cm_detach", {}, {}, {}, "detaches the camera - used without parameters"},
    {"cm_interpolate", kCameraInterpolations, {}, {},
     "initiates a camera interpolation", kInterpolationTimePlaceholder},
    {"cm_interpolate_block", kBlockingCameraInterpolations, {}, {},
     "initiates a camera interpolation", kInterpolationTimePlaceholder},
    {"cm_orbit", kTenths, {}, {}, "puts the camera in orbit mode"},
    {"cm_orbit_block", {}, {}, {}, "puts the camera in orbit mode - UNKNOWN"},
    {"cm_reset", {}, {}, {}, "resets the camera"},
    {"cm_wait", {}, {}, {}, "makes the camera wait until it is no longer busy"},
    {"fade_in", {}, {}, {}, "fades the screen in", kFadeInPlaceholder},
    {"fade_out", {}, {}, {},
     "fades the screen out ie. 'fade_out 0 0 0 180' the three zeros are the Rgb color "
     "reference and can be any integer between 0-255, the last 180 number is the number of "
     "frames that is burned before the screen gets to final color which is the rgb color "
     "reference u already gave '0 0 0'. ",
     kFadeOutPlaceholder},
};
static_assert(std::size(kCameraCommands) == 12);

constexpr ScriptCommand kEnvironmentCommands[] = {
    {"env_anim", kEnvironmentObjectBlocks, {}, {},
     "initiates a environment animation blocks until completed"},
    {"env_anim_block", {}, {}, {},
     "initiates a environment animation blocks until completed - UNKNOWN"},
    {"env_broken", {}, {}, {},
     "computes the number of objects in a range that have all their glass broken - UNKNOWN"},
    {"env_setanim", kEnvironmentObjectAnimations, {}, {}, "sets up an animation for an object"},
    {"env_setanim_block", {}, {}, {}, "sets up an animation for an object - UNKNOWN"},
    {"env_shade", kEnvironmentObjectBlocks, {}, {},
     "sets the shade of a block of objects - ie. show a block of objects using "
     "env_show:'env_show 271 1' 'env_show 272 1' 'env_show 273 1' 'env_show 274 1' now i want "
     "to shade these two objects so i will do this:'env_shade 270 274 .4 .1 .8' the last three "
     "float values are RGB color reference",
     kEnvironmentShadePlaceholder},
    {"env_show", kEnvironmentParts, kZeroOne, {},
     "turns on or off specified parts of the environment"},
    {"env_texswap", {}, {}, {},
     "swaps an environment texture - UNKNOWN there was no use of this command in the game "
     "level script files"},
};
static_assert(std::size(kEnvironmentCommands) == 8);

constexpr ScriptCommand kSoundCommands[] = {
    {"sound_ambient_start", kAmbientSounds, {}, {}, "Starts an Ambient"},
    {"sound_ambient_stop", kAmbientSounds, {}, {}, "Stops an Ambient"},
    {"sound_ambient_volume", kAmbientSounds, kTenths, {}, "Sets an Ambient volume"},
    {"sound_dialog_play", kDialogueSounds, {}, {}, "Plays a Dialog"},
    {"sound_dialog_play_block", kPause, {}, {},
     "Stops the currently played dialog or paused if the 'pause' key is used"},
    {"sound_impulse_play", kImpulseSounds, {}, {}, "Plays an Impulse"},
    {"sound_music_start", kMusicTracks, kTenths, {}, "Starts a Music"},
    {"sound_music_stop", kMusicTracks, {}, {}, "Stops a Music"},
    {"sound_music_volume", kMusicTracks, kTenths, {}, "Sets a Music Volume"},
};
static_assert(std::size(kSoundCommands) == 9);

// Element i is category number i + 1, in the order of the command-type list. Within a category
// the rows keep the order the command list shows, which is ascending without regard to case.
constexpr CommandCategory kCategories[] = {
    {"AI2 Commands", "- Select a AI2 Command ==============================", kAi2Commands},
    {"Character Commands", "- Select a Character Command ==============================",
     kCharacterCommands},
    {"Game Play Commands", "- Select a Game Play Command ==============================",
     kGamePlayCommands},
    {"World Object Commands", "- Select a World Object Command ==============================",
     kWorldObjectCommands},
    {"Trigger Commands", "- Select a Trigger Command ==============================",
     kTriggerCommands},
    {"Message Commands", "- Select a Message Command ==============================",
     kMessageCommands},
    {"Film Commands", "- Select a Film Command ==============================", kFilmCommands},
    {"Camera Commands", "- Select a Camera Command ==============================",
     kCameraCommands},
    {"Envaironment Commands", "- Select an Envaironment Command ==============================",
     kEnvironmentCommands},
    {"Play Sounds", "- Select a Sound Command ==============================", kSoundCommands},
};
static_assert(std::size(kCategories) == kCategoryCount);

} // namespace

std::span<const CommandCategory> commandCategories()
{
    return kCategories;
}

const CommandCategory* findCommandCategory(int number)
{
    if (number < 1 || number > kCategoryCount)
        return nullptr;
    return &kCategories[number - 1];
}

const ScriptCommand* findCommand(std::string_view name)
{
    // A plain walk: the table is small and a lookup follows a click, so an index would only add
    // a second copy of the names to keep in step.
    for (const CommandCategory& category : kCategories) {
        for (const ScriptCommand& command : category.commands) {
            if (command.name == name)
                return &command;
        }
    }
    return nullptr;
}

void fillParameterList(std::span<const ParamSource> sources, std::vector<std::string>& list)
{
    for (const ParamSource& source : sources) {
        if (const auto* range = std::get_if<StringRange>(&source))
            addStringRange(list, range->first, range->last);
        else
            list.emplace_back(std::get<std::string_view>(source));
    }
}

std::span<const std::string_view> placeholderTexts()
{
    return kPlaceholderTexts;
}
