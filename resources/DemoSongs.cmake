# The five demo songs, synthesized and encoded (ffmpeg with LAME) at build time into
# <build>/resources/sampleMp3, installed beside the program (share/orbo/sampleMp3) and
# found there, or in the build tree, by Bundle::installedResourceFolder.

find_program(ORBO_FFMPEG ffmpeg REQUIRED)
add_executable(demo_song_generator ${CMAKE_CURRENT_LIST_DIR}/tools/DemoSongGenerator.cpp)
target_link_libraries(demo_song_generator PRIVATE Qt6::Gui PkgConfig::TAGLIB)
# A build tool: it runs during the build and needs no sanitizer of the build's own.
target_compile_options(demo_song_generator PRIVATE -fno-sanitize=all)
target_link_options(demo_song_generator PRIVATE -fno-sanitize=all)

set(ORBO_BUILD_RESOURCES_DIR ${CMAKE_BINARY_DIR}/resources)
set(ORBO_DEMO_SONGS
    Orbo_folder1/Orbo_01-CountryMan.mp3
    Orbo_folder2/Orbo_02-ButterBass.mp3
    Orbo_folder3/Orbo_03-CowbellHouse.mp3
    Orbo_folder4/Orbo_04-theClassicBeatbox.mp3
    Orbo_folder5/Orbo_05-HumanBeatbox.mp3
)
list(TRANSFORM ORBO_DEMO_SONGS PREPEND ${ORBO_BUILD_RESOURCES_DIR}/sampleMp3/ OUTPUT_VARIABLE ORBO_DEMO_SONG_FILES)
add_custom_command(
    OUTPUT ${ORBO_DEMO_SONG_FILES}
    COMMAND demo_song_generator ${ORBO_FFMPEG} ${ORBO_BUILD_RESOURCES_DIR}
    DEPENDS demo_song_generator
    COMMENT "Composing and encoding the demo songs"
    VERBATIM)
add_custom_target(orbo_demo_songs ALL DEPENDS ${ORBO_DEMO_SONG_FILES})
add_dependencies(orbo_core orbo_demo_songs)
# The build tree's resources come before the sources' when the program runs uninstalled.
target_compile_definitions(orbo_core PRIVATE ORBO_BUILD_RESOURCES_DIR="${ORBO_BUILD_RESOURCES_DIR}")
install(DIRECTORY ${ORBO_BUILD_RESOURCES_DIR}/sampleMp3 DESTINATION ${CMAKE_INSTALL_DATADIR}/orbo)
