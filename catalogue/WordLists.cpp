#include "catalogue/WordLists.h"

using namespace std::string_view_literals;

// Entries may repeat and a blank may be doubled: the lists are kept as scripts have always been
// coloured with them.

const std::string_view kKeywordList =
    " PLXN Ravok void schedule iterate return repeat sleep using every at over fork func else var "
    "int for and or ne if eq "sv;

const std::string_view kCommandList =
    " ai2_debug_showsettingIDs ai2_debug_localpathfinding ai2_debug_localmovement "
    "ai2_showintersections ai2_boss_battle ai2_showintersections ai2_barabbas_run "
    "ai2_spacing_weights ai2_spacing_cookies ai2_spacing_enable ai2_melee_weightcorrection "
    "ai2_stopignoring_time ai2_stopignoring_count ai2_chump_stop ai2_ignore_player ai2_deaf "
    "ai2_blind ai2_printspawn ai2_showsounds ai2_showlinetochar ai2_showjoblocations ai2_showhealth "
    "ai2_shownames ai2_showfights ai2_showlocalmelee ai2_showfiringspreads ai2_showprojectiles "
    "ai2_showlos ai2_showlasers ai2_showtargeting ai2_showprediction ai2_showvision "
    "ai2_showcombatranges ai2_showastar ai2_showactivationpaths ai2_showconnections "
    "ai2_showpathfindingerrors ai2_showdynamicgrids ai2_showgrids ai2_showpaths ai2_debug_makesound "
    "ai2_pathdebugsquare ai2_chump ai2_printbnvindex ai2_findconnections ai2_showmem ai2_followme "
    "ai2_lookatme ai2_comehere ai2_report_verbose ai2_report ai2_skill_delaymax maxdelay "
    "ai2_skill_delaymin mindelay ai2_skill_inaccuracy inaccuracy ai2_skill_decay decay_amount "
    "ai2_skill_error error_amount ai2_skill_bestangle best_angle ai2_skill_recoil "
    "recoil_compensation ai2_skill_save ai2_skill_revert ai2_skill_show ai2_skill_select char_class "
    "weapon_name ai2_barabbas_retrievegun ai2_set_handlesilenterror handle_silent ai2_set_logerror "
    "ai2_set_reporterror ai2_lookatchar ai2_movetoflag ai2_setmovementmode ai2_makeignoreplayer "
    "ai2_makedeaf ai2_makeblind error_level ai2_tripalarm alarm_id ai2_setalert ai2_forget "
    "ai2_attack ai2_makeaware ai2_panic ai2_noncombatant non_combatant ai2_neutralbehavior "
    "ai2_setjobstate ai2_inactive ai2_active ai2_allpassive passive ai2_kill ai2_spawnall ai2_spawn "
    "ai_name ai2_reset ai2_takecontrol chr_has_lsi chr_is_player chr_neutral chr_freeze  ai2_passive "
    "chr_ultra_mode chr_death_lock chr_shadow chr_wait_health chr_super chr_pain chr_poison "
    "chr_peace chr_inv_reset chr_vocalize chr_talk chr_unkillable chr_invincible chr_unstoppable "
    "chr_changeteam chr_forceholster chr_givepowerup chr_giveweapon chr_full_health chr_set_health "
    "chr_dontaim chr_weapon_immune chr_big_head marketing_line_off chr_boss_shield "
    "chr_wait_animstate chr_wait_animtype chr_wait_animation chr_envanim_stop chr_envanim_block "
    "chr_envanim chr_animate_block chr_animate chr_holdkey chr_playback_debug playback_debug "
    "chr_playback_block playback_block chr_nocollision chr_teleport chr_facetoflag chr_unlock_active "
    "chr_delete chr_create chr_lock_active trigvolume_count trigvolume_kill trigvolume_corpse "
    "trigvolume_reset trigvolume_trigger trigvolume_setscript trigvolume_enable trig_speed "
    "trigger_id trig_show trig_hide trig_reset trig_deactivate trig_activate turret_reset "
    "turret_deactivate turret_activate console_reset console_deactivate console_activate door_close "
    "door_open door_unlock door_lock door_unjam door_jam reset_mechanics powerup_spawn weapon_spawn "
    "text_console lock_keys obj_create obj_kill obj_shade obj_force_draw obj_show obj_hide "
    "env_broken env_shade env_show env_texswap env_setanim_block env_setanim env_anim_block env_anim "
    "cm_reset cm_wait cm_detach cm_interpolate_block cm_interpolate cm_orbit cm_orbit_block "
    "cm_anim_block cm_anim cm_barabus playback chr_playback splash_screen cutscene_sync end_cutscene "
    "begin_cutscene message_remove message dmsg dprint new_objective ui_suppress_prompt "
    "ui_flash_element ui_show_element restore_game save_game target_set objective_set lose win "
    "difficulty did_kill_griffen who where killed_griffen slowmo timer_stop timer_start fade_out "
    "fade_in input letterbox silent ai2_dopath particle sound_music_volume sound_music_start "
    "sound_music_stop ai2_doalaram sound_music_volume cinematic_start cinematic_stop "
    "sound_dialog_play_block sound_dialog_play music_stop sound_ambient_stop sound_ambient_start "
    "ai2_doalarm "
    // Commands the builder inserts that the list above lacks, so that every inserted statement
    // shows as a command.
    "ai2_idle chr_has_empty_weapon sound_ambient_volume sound_impulse_play "sv;
