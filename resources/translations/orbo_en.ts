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
</context>
</TS>
