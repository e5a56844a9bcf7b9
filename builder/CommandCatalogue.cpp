#include "builder/CommandCatalogue.h"

#include <array>

namespace {

// Each list is in the order the command list shows it, which is also ascending without regard
// to case: the position of a name is its index plus one.
constexpr std::string_view kAi2Commands[] = {
    "ai2_active", "ai2_allpassive", "ai2_attack", "ai2_barabbas_retrievegun", "ai2_barabbas_run",
    "ai2_blind", "ai2_boss_battle", "ai2_chump", "ai2_chump_stop", "ai2_comehere", "ai2_deaf",
    "ai2_debug_localmovement", "ai2_debug_localpathfinding", "ai2_debug_makesound",
    "ai2_debug_showsettingIDs", "ai2_doalarm", "ai2_dopath", "ai2_findconnections", "ai2_followme",
    "ai2_forget", "ai2_idle", "ai2_ignore_player", "ai2_inactive", "ai2_kill", "ai2_lookatchar",
    "ai2_lookatme", "ai2_makeaware", "ai2_makeblind", "ai2_makedeaf", "ai2_makeignoreplayer",
    "ai2_melee_weightcorrection", "ai2_movetoflag", "ai2_neutralbehavior", "ai2_noncombatant",
    "ai2_panic", "ai2_passive", "ai2_pathdebugsquare", "ai2_printbnvindex", "ai2_printspawn",
    "ai2_report", "ai2_report_verbose", "ai2_reset", "ai2_set_handlesilenterror",
    "ai2_set_logerror", "ai2_set_reporterror", "ai2_setalert", "ai2_setjobstate",
    "ai2_setmovementmode", "ai2_showactivationpaths", "ai2_showastar", "ai2_showcombatranges",
    "ai2_showconnections", "ai2_showdynamicgrids", "ai2_showfights", "ai2_showfiringspreads",
    "ai2_showgrids", "ai2_showhealth", "ai2_showintersections", "ai2_showjoblocations",
    "ai2_showlasers", "ai2_showlinetochar", "ai2_showlocalmelee", "ai2_showlos", "ai2_showmem",
    "ai2_shownames", "ai2_showpathfindingerrors", "ai2_showpaths", "ai2_showprediction",
    "ai2_showprojectiles", "ai2_showsounds", "ai2_showtargeting", "ai2_showvision",
    "ai2_skill_bestangle", "ai2_skill_decay", "ai2_skill_delaymax", "ai2_skill_delaymin",
    "ai2_skill_error", "ai2_skill_inaccuracy", "ai2_skill_recoil", "ai2_skill_revert",
    "ai2_skill_save", "ai2_skill_select", "ai2_skill_show", "ai2_spacing_cookies",
    "ai2_spacing_enable", "ai2_spacing_weights", "ai2_spawn", "ai2_spawnall",
    "ai2_stopignoring_count", "ai2_stopignoring_time", "ai2_takecontrol", "ai2_tripalarm"
};

constexpr std::string_view kCharacterCommands[] = {
    "chr_animate", "chr_animate_block", "chr_big_head", "chr_boss_shield", "chr_changeteam",
    "chr_create", "chr_death_lock", "chr_delete", "chr_dontaim", "chr_envanim",
    "chr_envanim_block", "chr_envanim_stop", "chr_facetoflag", "chr_forceholster", "chr_freeze",
    "chr_full_health", "chr_givepowerup", "chr_giveweapon", "chr_has_empty_weapon", "chr_has_lsi",
    "chr_holdkey", "chr_inv_reset", "chr_invincible", "chr_is_player", "chr_lock_active",
    "chr_neutral", "chr_nocollision", "chr_pain", "chr_peace", "chr_playback_block",
    "chr_playback_debug", "chr_poison", "chr_set_health", "chr_shadow", "chr_super", "chr_talk",
    "chr_teleport", "chr_ultra_mode", "chr_unkillable", "chr_unlock_active", "chr_unstoppable",
    "chr_vocalize", "chr_wait_animation", "chr_wait_animstate", "chr_wait_animtype",
    "chr_wait_health", "chr_weapon_immune"
};

constexpr std::string_view kGamePlayCommands[] = {
    "did_kill_griffen", "difficulty", "input", "killed_griffen", "letterbox", "lose",
    "new_objective", "objective_set", "restore_game", "save_game", "silent", "slowmo",
    "target_set", "ui_flash_element", "ui_show_element", "ui_suppress_prompt", "where", "who",
    "win"
};

constexpr std::string_view kWorldObjectCommands[] = {
    "console_activate", "console_deactivate", "console_reset", "door_close", "door_jam",
    "door_lock", "door_open", "door_unjam", "door_unlock", "lock_keys", "marketing_line_off",
    "obj_create", "obj_force_draw", "obj_hide", "obj_kill", "obj_shade", "obj_show",
    "powerup_spawn", "reset_mechanics", "text_console", "turret_activate", "turret_deactivate",
    "turret_reset", "weapon_spawn"
};

constexpr std::string_view kTriggerCommands[] = {
    "trig_activate", "trig_deactivate", "trig_hide", "trig_reset", "trig_show", "trig_speed",
    "trigvolume_corpse", "trigvolume_count", "trigvolume_enable", "trigvolume_kill",
    "trigvolume_reset", "trigvolume_setscript", "trigvolume_trigger"
};

constexpr std::string_view kMessageCommands[] = {
    "dmsg", "dprint", "message", "message_remove"
};

constexpr std::string_view kFilmCommands[] = {
    "begin_cutscene", "cinematic_start", "cinematic_stop", "cutscene_sync", "end_cutscene",
    "playback", "splash_screen"
};

constexpr std::string_view kCameraCommands[] = {
    "cm_anim both", "cm_anim_block both", "cm_barabus", "cm_detach", "cm_interpolate",
    "cm_interpolate_block", "cm_orbit", "cm_orbit_block", "cm_reset", "cm_wait", "fade_in",
    "fade_out"
};

constexpr std::string_view kEnvironmentCommands[] = {
    "env_anim", "env_anim_block", "env_broken", "env_setanim", "env_setanim_block", "env_shade",
    "env_show", "env_texswap"
};

constexpr std::string_view kSoundCommands[] = {
    "sound_ambient_start", "sound_ambient_stop", "sound_ambient_volume", "sound_dialog_play",
    "sound_dialog_play_block", "sound_impulse_play", "sound_music_start", "sound_music_stop",
    "sound_music_volume"
};

constexpr std::array kCategories = {
    CommandCategory{"AI2 Commands", "- Select a AI2 Command ==============================",
                    kAi2Commands},
    CommandCategory{"Character Commands",
                    "- Select a Character Command ==============================",
                    kCharacterCommands},
    CommandCategory{"Game Play Commands",
                    "- Select a Game Play Command ==============================",
                    kGamePlayCommands},
    CommandCategory{"World Object Commands",
                    "- Select a World Object Command ==============================",
                    kWorldObjectCommands},
    CommandCategory{"Trigger Commands", "- Select a Trigger Command ==============================",
                    kTriggerCommands},
    CommandCategory{"Message Commands", "- Select a Message Command ==============================",
                    kMessageCommands},
    CommandCategory{"Film Commands", "- Select a Film Command ==============================",
                    kFilmCommands},
    CommandCategory{"Camera Commands", "- Select a Camera Command ==============================",
                    kCameraCommands},
    CommandCategory{"Envaironment Commands",
                    "- Select an Envaironment Command ==============================",
                    kEnvironmentCommands},
    CommandCategory{"Play Sounds", "- Select a Sound Command ==============================",
                    kSoundCommands},
};

static_assert(kCategories.size() == kCategoryCount);

}  // namespace

std::span<const CommandCategory> CommandCategories()
{
    return kCategories;
}

const CommandCategory* FindCommandCategory(int number)
{
    if (number < 1 || number > kCategoryCount)
        return nullptr;
    return &kCategories[static_cast<std::size_t>(number - 1)];
}
