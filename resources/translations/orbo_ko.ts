<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>Orbo</name>
    <message>
        <source>Main All Songs</source>
        <translation>모든 노래</translation>
    </message>
    <message>
        <source>Main Folder Play</source>
        <translation>폴더 재생</translation>
    </message>
    <message>
        <source>Main Playlists</source>
        <translation>재생목록</translation>
    </message>
    <message>
        <source>Main Managing Folders</source>
        <translation>폴더 관리</translation>
    </message>
    <message>
        <source>Main Managing Playlists</source>
        <translation>재생목록 관리</translation>
    </message>
    <message>
        <source>Main iPod Library</source>
        <translation>음악 보관함</translation>
    </message>
    <message>
        <source>Main File Transfer</source>
        <translation>Wi-Fi 파일 전송</translation>
    </message>
    <message>
        <source>Main Settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Your music, your folders</source>
        <translation>내 음악, 내 폴더</translation>
    </message>
    <message>
        <source>Write a Review</source>
        <translation>리뷰 쓰기</translation>
    </message>
    <message>
        <source>Rate Review Message</source>
        <translation>Orbo가 마음에 드시나요? 짧은 리뷰가 다른 분들께 큰 도움이 됩니다. 감사합니다!</translation>
    </message>
    <message>
        <source>Don't show again</source>
        <translation>다시 보지 않기</translation>
    </message>
    <message>
        <source>Remind me later</source>
        <translation>나중에 알림</translation>
    </message>
    <message>
        <source>Playlist has changed.</source>
        <translation>재생목록이 바뀌었습니다.</translation>
    </message>
    <message>
        <source>Shuffle On</source>
        <translation>임의 재생 켬</translation>
    </message>
    <message>
        <source>Shuffle Off</source>
        <translation>임의 재생 끔</translation>
    </message>
    <message>
        <source>Repeat On</source>
        <translation>반복 켬</translation>
    </message>
    <message>
        <source>Repeat Off</source>
        <translation>반복 끔</translation>
    </message>
    <message>
        <source>One Time Play</source>
        <translation>한 번 재생</translation>
    </message>
    <message>
        <source>optimizing list...</source>
        <translation>목록 최적화 중…</translation>
    </message>
    <message>
        <source>upload several files</source>
        <translation>여러 파일을 한 번에 올리기</translation>
    </message>
    <message>
        <source>To copy a file folder</source>
        <translation>파일을 복사할 폴더</translation>
    </message>
    <message>
        <source>FileUploadSuccess</source>
        <translation>파일을 올렸습니다. </translation>
    </message>
    <message>
        <source>PleaseRename</source>
        <translation>이름이 .mp3 또는 .m4a로 끝나는 파일이 폴더에 노래로 나타납니다.</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>검색</translation>
    </message>
    <message>
        <source>Folders can only be made inside the Documents folder.</source>
        <translation>폴더는 Documents 폴더 안에만 만들 수 있습니다.</translation>
    </message>
</context>
</TS>
