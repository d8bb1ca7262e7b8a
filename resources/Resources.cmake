# The program's resources, compiled into orbo_core under ":/bundle/" (pictures and
# sounds, drawn and made at build time by the asset generator) and ":/i18n/" (string
# tables compiled from the Qt Linguist files with lrelease).

find_package(Qt6 6.4 REQUIRED COMPONENTS Svg)
add_executable(asset_generator ${CMAKE_CURRENT_LIST_DIR}/tools/AssetGenerator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tools/DesktopAssets.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tools/PlayerDetailAssets.cpp)
target_link_libraries(asset_generator PRIVATE Qt6::Gui Qt6::Svg)
# A build tool: it runs during the build and needs no sanitizer of the build's own.
target_compile_options(asset_generator PRIVATE -fno-sanitize=all)
target_link_options(asset_generator PRIVATE -fno-sanitize=all)

set(ORBO_ASSET_DIR ${CMAKE_BINARY_DIR}/bundle)
set(ORBO_ASSETS
    main_allsongs@2x.png main_allsongs_on@2x.png
    main_folder@2x.png main_folder_on@2x.png
    main_playlist@2x.png main_playlist_on@2x.png
    main_foldersetting@2x.png main_foldersetting_on@2x.png
    main_playlistsetting@2x.png main_playlistsetting_on@2x.png
    main_ipod@2x.png main_ipod_on@2x.png
    main_transfer@2x.png main_transfer_on@2x.png
    main_settings@2x.png main_settings_on@2x.png
    main_selected@2x.png main_logo@2x.png
    Default_Up@2x.png Default_Down@2x.png
    msg_play@2x.png msg_pause@2x.png msg_fast-forward@2x.png msg_fast-backward@2x.png
    msg_trash@2x.png msg_folderChange@2x.png
    info-icons-01-RPT@2x.png info-icons-02-RPT-ONE@2x.png info-icons-03-RND@2x.png
    info-icons-04-RPT-OFF@2x.png info-icons-05-RND-OFF@2x.png
    Orbo_plyr01_btm_plate_02-open@2x.png Orbo_plyr01_btm_plate_02-open-light@2x.png
    player_panel_plate@2x.png player_progressBar@2x.png
    player_play@2x.png player_play_on@2x.png player_pause@2x.png player_pause_on@2x.png
    player_next@2x.png player_next_on@2x.png player_prev@2x.png player_prev_on@2x.png
    player_shuffleOn@2x.png player_shuffleOff@2x.png
    player_repeatOn@2x.png player_repeatOff@2x.png player_repeatOne@2x.png
    player_folderListPlay@2x.png player_listPlay@2x.png
    Orbo_plyr01_top_plate_02-ani01-01@2x.png Orbo_plyr01_top_plate_02-ani01-02@2x.png
    Orbo_plyr01_top_plate_02-ani01-03@2x.png
    tableListCellBlack@2x.png musicListCellSellected@2x.png
    list_play@2x.png list_play_on@2x.png list_folder@2x.png
    noAlbumImage@2x.png noAlbumImageBig@2x.png
    list_playbackList@2x.png list_playbackListSetting@2x.png listCheckOn@2x.png listCheckOff@2x.png
    MP3IconSmall@2x.png folder_orange_open@2x.png list_folderSetting@2x.png
    Orbo_Melody_Play-01.wav Orbo_Melody_FF-02.wav Orbo_Melody_REW-02.wav
    help@2x.png
    # The full-screen player and the all-songs list.
    playerDetail_progressHead@2x.png playerDetail_progressBarPlayBack@2x.png
    playerDetail_progressBarInnerPlayBack@2x.png
    playerDetail_volume_header@2x.png playerDetail_volume_play@2x.png playerDetail_volume_blank@2x.png
    playerDetail_background@2x.png playerDetail_plate@2x.png playerDetail_close@2x.png
    playerDetail_id3Plate@2x.png playerDetail_id3Down@2x.png playerDetail_id3Up@2x.png
    listBackground@2x.png
)
# The desktop icon in every size, rendered from its SVG (installed, not compiled in).
set(ORBO_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/desktop/org.orbo.Orbo.svg)
set(ORBO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ORBO_ICON_SIZES 16 24 32 48 64 128 256 512)
set(ORBO_ICON_FILES)
foreach(size ${ORBO_ICON_SIZES})
    list(APPEND ORBO_ICON_FILES ${ORBO_ICON_DIR}/org.orbo.Orbo-${size}.png)
endforeach()
list(TRANSFORM ORBO_ASSETS PREPEND ${ORBO_ASSET_DIR}/ OUTPUT_VARIABLE ORBO_ASSET_FILES)
add_custom_command(
    OUTPUT ${ORBO_ASSET_FILES} ${ORBO_ICON_FILES}
    COMMAND asset_generator ${ORBO_ASSET_DIR} ${ORBO_ICON_SVG} ${ORBO_ICON_DIR}
    DEPENDS asset_generator ${ORBO_ICON_SVG}
    COMMENT "Drawing pictures and making sounds"
    VERBATIM)
set_source_files_properties(${ORBO_ASSET_FILES} ${ORBO_ICON_FILES} PROPERTIES GENERATED TRUE)
qt_add_resources(orbo_core orbo_bundle
    PREFIX /bundle
    BASE ${ORBO_ASSET_DIR}
    FILES ${ORBO_ASSET_FILES})
# The window's own icon, for desktops that do not look the desktop entry up.
qt_add_resources(orbo_core orbo_icon
    PREFIX /icons
    BASE ${ORBO_ICON_DIR}
    FILES ${ORBO_ICON_DIR}/org.orbo.Orbo-256.png)

find_program(ORBO_LRELEASE NAMES lrelease-qt6 lrelease
    HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)
set(ORBO_QM_DIR ${CMAKE_BINARY_DIR}/i18n)
set(ORBO_QM_FILES)
foreach(lang en ko)
    set(ts ${CMAKE_CURRENT_LIST_DIR}/translations/orbo_${lang}.ts)
    set(qm ${ORBO_QM_DIR}/orbo_${lang}.qm)
    add_custom_command(
        OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ORBO_QM_DIR}
        COMMAND ${ORBO_LRELEASE} -silent ${ts} -qm ${qm}
        DEPENDS ${ts}
        VERBATIM)
    list(APPEND ORBO_QM_FILES ${qm})
endforeach()
set_source_files_properties(${ORBO_QM_FILES} PROPERTIES GENERATED TRUE)
qt_add_resources(orbo_core orbo_i18n
    PREFIX /i18n
    BASE ${ORBO_QM_DIR}
    FILES ${ORBO_QM_FILES})
