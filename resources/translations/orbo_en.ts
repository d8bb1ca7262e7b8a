<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Orbo</name>
    <message>
        <source>Main All Songs</source>
        <translation>All Songs</translation>
    </message>
    <message>
        <source>Main Folder Play</source>
        <translation>Folder Play</translation>
    </message>
    <message>
        <source>Main Playlists</source>
        <translation>Playlists</translation>
    </message>
    <message>
        <source>Main Managing Folders</source>
        <translation>Manage Folders</translation>
    </message>
    <message>
        <source>Main Managing Playlists</source>
        <translation>Manage Playlists</translation>
    </message>
    <message>
        <source>Main iPod Library</source>
        <translation>Music Library</translation>
    </message>
    <message>
        <source>Main File Transfer</source>
        <translation>Wi-Fi Transfer</translation>
    </message>
    <message>
        <source>Main Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Rate Review Message</source>
        <translation>Enjoying Orbo? A short review helps other music lovers find it. Thank you!</translation>
    </message>
    <message>
        <source>optimizing list...</source>
        <translation>Optimizing list…</translation>
    </message>
    <message>
        <source>upload several files</source>
        <translation>Upload several files at once</translation>
    </message>
    <message>
        <source>To copy a file folder</source>
        <translation>Folder to copy the files into</translation>
    </message>
    <message>
        <source>FileUploadSuccess</source>
        <translation>The files were uploaded. </translation>
    </message>
    <message>
        <source>PleaseRename</source>
        <translation>A song shows up in its folder once its name ends in .mp3 or .m4a.</translation>
    </message>
    <message>
        <source>Sever Started</source>
        <translation>Server started</translation>
    </message>
    <message>
        <source>Server Stopped</source>
        <translation>Server stopped</translation>
    </message>
    <message>
        <source>File Transfer Title</source>
        <translation>Wi-Fi Transfer</translation>
    </message>
    <message>
        <source>File Transfer</source>
        <translation>Web Server</translation>
    </message>
    <message>
        <source>File Transfer Messages</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>Memory usage</source>
        <translation>Storage</translation>
    </message>
    <message>
        <source>enter into the browser PC</source>
        <translation>Type one of these addresses into a browser on your computer.</translation>
    </message>
    <message>
        <source>Start the server</source>
        <translation>Start the server</translation>
    </message>
    <message>
        <source>WiFi URL</source>
        <translation>Wi-Fi URL</translation>
    </message>
    <message>
        <source>3G URL</source>
        <translation>Mobile URL</translation>
    </message>
    <message>
        <source>No Connection</source>
        <translation>No Connection</translation>
    </message>
    <message>
        <source>Awake</source>
        <translation>AWAKE</translation>
    </message>
    <message>
        <source>Require a code</source>
        <translation>Require a code</translation>
    </message>
    <message>
        <source>Code: %1 (any user name)</source>
        <translation>Code: %1 (any user name)</translation>
    </message>
    <message>
        <source>A new code at every start</source>
        <translation>A new code at every start</translation>
    </message>
    <message>
        <source>Anyone on the network can upload</source>
        <translation>Anyone on the network can upload</translation>
    </message>
    <message>
        <source>Caution</source>
        <translation>Caution</translation>
    </message>
    <message>
        <source>communication charges.</source>
        <translation>Over a mobile connection, uploads may cost you data charges.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Loading information ...</source>
        <translation>Loading information…</translation>
    </message>
    <message>
        <source>USED</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>FREE</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>TOTAL</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>Publisher line</source>
        <translation>Made by the Orbo developers</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Help picture</source>
        <translation>How to use Orbo</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Player Settings</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>ID3Tag Encoding</source>
        <translation>Tag Encoding</translation>
    </message>
    <message>
        <source>Screen Auto SleepMode</source>
        <translation>Screen May Sleep</translation>
    </message>
    <message>
        <source>Earphones Beep Sound</source>
        <translation>Earphone Beeps</translation>
    </message>
    <message>
        <source>AllTextEncodings</source>
        <translation>All Text Encodings</translation>
    </message>
    <message>
        <source>Please select the music.</source>
        <translation>Please select a song.</translation>
    </message>
    <message>
        <source>Play Error</source>
        <translation>Play Error</translation>
    </message>
    <message>
        <source>Can not play the file.</source>
        <translation>cannot be played.</translation>
    </message>
    <message>
        <source>There is no next song.</source>
        <translation>There is no next song.</translation>
    </message>
    <message>
        <source>No previous music.</source>
        <translation>There is no previous song.</translation>
    </message>
    <message>
        <source>There is no music to play.</source>
        <translation>There is no music to play.</translation>
    </message>
    <message>
        <source>Lyrics</source>
        <translation>Lyrics</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Left level</source>
        <translation>Left level</translation>
    </message>
    <message>
        <source>Right level</source>
        <translation>Right level</translation>
    </message>
    <message>
        <source>Files</source>
        <translation> files</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>Songs</source>
        <translation>Songs</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>All Songs</source>
        <translation>All Songs</translation>
    </message>
    <message>
        <source>musicCount</source>
        <translation> songs</translation>
    </message>
    <message>
        <source>DEMO Songs</source>
        <translation>Demo Songs</translation>
    </message>
    <message>
        <source>install the demo songs?</source>
        <translation>Install the demo songs? Five short songs in five folders, with five playlists.</translation>
    </message>
    <message>
        <source>No Lyrics</source>
        <translation>No lyrics</translation>
    </message>
    <message>
        <source>Artwork</source>
        <translation>Artwork</translation>
    </message>
    <message>
        <source>Full-screen player</source>
        <translation>Full-screen player</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Show tags</source>
        <translation>Show tags</translation>
    </message>
    <message>
        <source>Hide tags</source>
        <translation>Hide tags</translation>
    </message>
    <message>
        <source>Managing PlayLists</source>
        <translation>Manage Playlists</translation>
    </message>
    <message>
        <source>PlayLists Edit</source>
        <translation>Edit Playlists</translation>
    </message>
    <message>
        <source>Add List</source>
        <translation>Add List</translation>
    </message>
    <message>
        <source>Edit List</source>
        <translation>Edit List</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Del(0)</source>
        <translation>Delete(0)</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Copy songs to 'iPod_Songs' Folder</source>
        <translation>Pick songs to copy into the iPod_Songs folder</translation>
    </message>
    <message>
        <source>Copy songs from iPod library</source>
        <translation>Copying songs from your music library</translation>
    </message>
    <message>
        <source>The screen stays on while songs are copied.</source>
        <translation>The screen stays on while songs are copied.</translation>
    </message>
    <message>
        <source>Copy progress</source>
        <translation>Copy progress</translation>
    </message>
    <message>
        <source>Do not support DRM</source>
        <translation>Copy-protected song, not copied</translation>
    </message>
    <message>
        <source>%@ Failed</source>
        <translation>%@ could not be copied</translation>
    </message>
    <message>
        <source>Complete copy songs</source>
        <translation>Songs copied</translation>
    </message>
    <message>
        <source>Go iPod_Songs</source>
        <translation>Open iPod_Songs</translation>
    </message>
    <message>
        <source>Go Home</source>
        <translation>Back to Menu</translation>
    </message>
    <message>
        <source>Reading the music library...</source>
        <translation>Reading the music library…</translation>
    </message>
    <message>
        <source>No songs in %1</source>
        <translation>No songs in %1</translation>
    </message>
    <message>
        <source>No songs match the search.</source>
        <translation>No songs match the search.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>AddMusic</source>
        <translation>Add Music</translation>
    </message>
    <message>
        <source>ClearDeletedFiles</source>
        <translation>Clear Deleted</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Playlist name</source>
        <translation>Playlist name</translation>
    </message>
    <message>
        <source>Error Add to Playlists</source>
        <translation>Cannot Add the Playlist</translation>
    </message>
    <message>
        <source>Please enter a name...</source>
        <translation>Please enter a name. It may not begin or end with a blank.</translation>
    </message>
    <message>
        <source>Entered a name that already exists.</source>
        <translation>A playlist with this name already exists.</translation>
    </message>
    <message>
        <source>Added to your playlist.</source>
        <translation>was added to your playlists.</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Deleted.</translation>
    </message>
    <message>
        <source>Delete the folder</source>
        <translation>will be deleted.</translation>
    </message>
    <message>
        <source>Delete the folder N</source>
        <translation> playlists will be deleted.</translation>
    </message>
    <message>
        <source>Delete the Music N</source>
        <translation> songs will be removed from the playlist.</translation>
    </message>
    <message>
        <source>Added music</source>
        <translation>The songs were added.</translation>
    </message>
    <message>
        <source>There are no files to clean up.</source>
        <translation>There are no deleted songs to clear.</translation>
    </message>
    <message>
        <source>Cleared.</source>
        <translation>Deleted songs were cleared.</translation>
    </message>
    <message>
        <source>The file has been deleted.</source>
        <translation>The file has been deleted.</translation>
    </message>
    <message>
        <source>Deleted files.</source>
        <translation>Deleted file</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Select Folder</translation>
    </message>
    <message>
        <source>close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Managing Folders</source>
        <translation>Manage Folders</translation>
    </message>
    <message>
        <source>Edit Folders</source>
        <translation>Edit Folders</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>Move Files</source>
        <translation>Move Files</translation>
    </message>
    <message>
        <source>Move Files(0)</source>
        <translation>Move Files(0)</translation>
    </message>
    <message>
        <source>Delete Folder</source>
        <translation>Delete Folder</translation>
    </message>
    <message>
        <source>Delete Folder(0)</source>
        <translation>Delete Folder(0)</translation>
    </message>
    <message>
        <source>Folder name</source>
        <translation>Folder name</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>A folder of that name already exists.</source>
        <translation>A folder of that name already exists.</translation>
    </message>
    <message>
        <source>%1 moved, %2 not moved: a file of that name is already there, or it is gone.</source>
        <translation>%1 moved, %2 not moved: a file of that name is already there, or it is gone.</translation>
    </message>
    <message>
        <source>Delete the realfolder N</source>
        <translation> folder(s) and every file in them will be deleted.</translation>
    </message>
    <message>
        <source>Delete the file N</source>
        <translation> file(s) will be deleted.</translation>
    </message>
    <message>
        <source>N files selected</source>
        <translation> file(s) selected</translation>
    </message>
    <message>
        <source>folder(s)</source>
        <translation> folder(s)</translation>
    </message>
    <message>
        <source>file(s)</source>
        <translation> file(s)</translation>
    </message>
    <message>
        <source>selected</source>
        <translation>selected</translation>
    </message>
    <message>
        <source>Please select the folder you want to move.</source>
        <translation>Please select the folder you want to move.</translation>
    </message>
    <message>
        <source>moved the files.</source>
        <translation>Moved the files.</translation>
    </message>
    <message>
        <source>Deleted folder.</source>
        <translation>Deleted the folder(s).</translation>
    </message>
    <message>
        <source>New Folder Error</source>
        <translation>New Folder Error</translation>
    </message>
    <message>
        <source>Please enter a folder name...</source>
        <translation>Please enter a folder name...</translation>
    </message>
    <message>
        <source>Invalid character was entered for</source>
        <translation>That name cannot be used for a folder.</translation>
    </message>
    <message>
        <source>Folder was created successfully.</source>
        <translation>Folder was created successfully.</translation>
    </message>
    <message>
        <source>Folders can only be made inside the Documents folder.</source>
        <translation>Folders can only be made inside the Documents folder.</translation>
    </message>
</context>
</TS>
