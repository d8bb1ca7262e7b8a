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
        <source>Section index</source>
        <translation>섹션 색인</translation>
    </message>
    <message>
        <source>Folders can only be made inside the Documents folder.</source>
        <translation>폴더는 Documents 폴더 안에만 만들 수 있습니다.</translation>
    </message>
    <message>
        <source>Sever Started</source>
        <translation>서버를 시작했습니다</translation>
    </message>
    <message>
        <source>Server Stopped</source>
        <translation>서버를 멈췄습니다</translation>
    </message>
    <message>
        <source>File Transfer Title</source>
        <translation>Wi-Fi 전송</translation>
    </message>
    <message>
        <source>File Transfer</source>
        <translation>웹 서버</translation>
    </message>
    <message>
        <source>File Transfer Messages</source>
        <translation>메시지</translation>
    </message>
    <message>
        <source>Memory usage</source>
        <translation>저장 공간</translation>
    </message>
    <message>
        <source>enter into the browser PC</source>
        <translation>컴퓨터의 브라우저에 이 주소 중 하나를 입력하세요.</translation>
    </message>
    <message>
        <source>Start the server</source>
        <translation>서버 시작</translation>
    </message>
    <message>
        <source>WiFi URL</source>
        <translation>Wi-Fi 주소</translation>
    </message>
    <message>
        <source>3G URL</source>
        <translation>모바일 주소</translation>
    </message>
    <message>
        <source>No Connection</source>
        <translation>연결 없음</translation>
    </message>
    <message>
        <source>Awake</source>
        <translation>켜짐 유지</translation>
    </message>
    <message>
        <source>Require a code</source>
        <translation>코드 요구</translation>
    </message>
    <message>
        <source>Code: %1 (any user name)</source>
        <translation>코드: %1 (사용자 이름은 아무거나)</translation>
    </message>
    <message>
        <source>A new code at every start</source>
        <translation>시작할 때마다 새 코드</translation>
    </message>
    <message>
        <source>Anyone on the network can upload</source>
        <translation>네트워크의 누구나 올릴 수 있습니다</translation>
    </message>
    <message>
        <source>Caution</source>
        <translation>주의</translation>
    </message>
    <message>
        <source>communication charges.</source>
        <translation>모바일 연결로 올리면 데이터 요금이 나올 수 있습니다.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Loading information ...</source>
        <translation>정보를 읽는 중…</translation>
    </message>
    <message>
        <source>USED</source>
        <translation>사용</translation>
    </message>
    <message>
        <source>FREE</source>
        <translation>남음</translation>
    </message>
    <message>
        <source>TOTAL</source>
        <translation>전체</translation>
    </message>
    <message>
        <source>Publisher line</source>
        <translation>Orbo 개발자들이 만들었습니다</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>도움말</translation>
    </message>
    <message>
        <source>Help picture</source>
        <translation>Orbo 사용법</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>확대</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>축소</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Player Settings</source>
        <translation>플레이어</translation>
    </message>
    <message>
        <source>ID3Tag Encoding</source>
        <translation>태그 인코딩</translation>
    </message>
    <message>
        <source>Screen Auto SleepMode</source>
        <translation>화면 자동 꺼짐</translation>
    </message>
    <message>
        <source>Earphones Beep Sound</source>
        <translation>이어폰 신호음</translation>
    </message>
    <message>
        <source>AllTextEncodings</source>
        <translation>모든 텍스트 인코딩</translation>
    </message>
    <message>
        <source>Please select the music.</source>
        <translation>노래를 선택하세요.</translation>
    </message>
    <message>
        <source>Play Error</source>
        <translation>재생 오류</translation>
    </message>
    <message>
        <source>Can not play the file.</source>
        <translation>파일을 재생할 수 없습니다.</translation>
    </message>
    <message>
        <source>There is no next song.</source>
        <translation>다음 노래가 없습니다.</translation>
    </message>
    <message>
        <source>No previous music.</source>
        <translation>이전 노래가 없습니다.</translation>
    </message>
    <message>
        <source>There is no music to play.</source>
        <translation>재생할 음악이 없습니다.</translation>
    </message>
    <message>
        <source>Lyrics</source>
        <translation>가사</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>재생</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>일시 정지</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>다음</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>이전</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>임의 재생</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>반복</translation>
    </message>
    <message>
        <source>Left level</source>
        <translation>왼쪽 음량</translation>
    </message>
    <message>
        <source>Right level</source>
        <translation>오른쪽 음량</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>개 파일</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>폴더</translation>
    </message>
    <message>
        <source>Songs</source>
        <translation>노래</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>메뉴</translation>
    </message>
    <message>
        <source>Now Playing</source>
        <translation>지금 재생 중</translation>
    </message>
    <message>
        <source>All Songs</source>
        <translation>모든 노래</translation>
    </message>
    <message>
        <source>musicCount</source>
        <translation>곡</translation>
    </message>
    <message>
        <source>DEMO Songs</source>
        <translation>데모 노래</translation>
    </message>
    <message>
        <source>install the demo songs?</source>
        <translation>데모 노래를 설치할까요? 다섯 폴더의 짧은 노래 다섯 곡과 재생 목록 다섯 개입니다.</translation>
    </message>
    <message>
        <source>No Lyrics</source>
        <translation>가사 없음</translation>
    </message>
    <message>
        <source>Artwork</source>
        <translation>앨범 아트</translation>
    </message>
    <message>
        <source>Full-screen player</source>
        <translation>전체 화면 플레이어</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>재생 위치</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>음량</translation>
    </message>
    <message>
        <source>Show tags</source>
        <translation>태그 보기</translation>
    </message>
    <message>
        <source>Hide tags</source>
        <translation>태그 숨기기</translation>
    </message>
    <message>
        <source>Managing PlayLists</source>
        <translation>재생목록 관리</translation>
    </message>
    <message>
        <source>PlayLists Edit</source>
        <translation>재생목록 편집</translation>
    </message>
    <message>
        <source>Add List</source>
        <translation>목록 추가</translation>
    </message>
    <message>
        <source>Edit List</source>
        <translation>목록 편집</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Del(0)</source>
        <translation>삭제(0)</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>완료</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Copy songs to 'iPod_Songs' Folder</source>
        <translation>iPod_Songs 폴더로 복사할 곡을 고르세요</translation>
    </message>
    <message>
        <source>Copy songs from iPod library</source>
        <translation>음악 보관함에서 곡을 복사하는 중</translation>
    </message>
    <message>
        <source>The screen stays on while songs are copied.</source>
        <translation>곡을 복사하는 동안 화면이 꺼지지 않습니다.</translation>
    </message>
    <message>
        <source>Copy progress</source>
        <translation>복사 진행</translation>
    </message>
    <message>
        <source>Do not support DRM</source>
        <translation>복사 방지된 곡이라 복사하지 못했습니다</translation>
    </message>
    <message>
        <source>%@ Failed</source>
        <translation>%@ 복사 실패</translation>
    </message>
    <message>
        <source>Complete copy songs</source>
        <translation>곡 복사 완료</translation>
    </message>
    <message>
        <source>Go iPod_Songs</source>
        <translation>iPod_Songs 열기</translation>
    </message>
    <message>
        <source>Go Home</source>
        <translation>메뉴로</translation>
    </message>
    <message>
        <source>Reading the music library...</source>
        <translation>음악 보관함을 읽는 중…</translation>
    </message>
    <message>
        <source>No songs in %1</source>
        <translation>%1 폴더에 곡이 없습니다</translation>
    </message>
    <message>
        <source>No songs match the search.</source>
        <translation>검색과 맞는 곡이 없습니다.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>편집</translation>
    </message>
    <message>
        <source>AddMusic</source>
        <translation>음악 추가</translation>
    </message>
    <message>
        <source>ClearDeletedFiles</source>
        <translation>삭제된 파일 정리</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>모두 선택</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>뒤로</translation>
    </message>
    <message>
        <source>Playlist name</source>
        <translation>재생목록 이름</translation>
    </message>
    <message>
        <source>Error Add to Playlists</source>
        <translation>재생목록을 추가할 수 없습니다</translation>
    </message>
    <message>
        <source>Please enter a name...</source>
        <translation>이름을 입력하세요. 이름의 앞뒤에는 공백을 둘 수 없습니다.</translation>
    </message>
    <message>
        <source>Entered a name that already exists.</source>
        <translation>같은 이름의 재생목록이 이미 있습니다.</translation>
    </message>
    <message>
        <source>Added to your playlist.</source>
        <translation>재생목록에 추가되었습니다.</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>삭제되었습니다.</translation>
    </message>
    <message>
        <source>Delete the folder</source>
        <translation>재생목록을 삭제합니다.</translation>
    </message>
    <message>
        <source>Delete the folder N</source>
        <translation>개의 재생목록을 삭제합니다.</translation>
    </message>
    <message>
        <source>Delete the Music N</source>
        <translation>곡을 재생목록에서 뺍니다.</translation>
    </message>
    <message>
        <source>Added music</source>
        <translation>음악을 추가했습니다.</translation>
    </message>
    <message>
        <source>There are no files to clean up.</source>
        <translation>정리할 파일이 없습니다.</translation>
    </message>
    <message>
        <source>Cleared.</source>
        <translation>정리했습니다.</translation>
    </message>
    <message>
        <source>The file has been deleted.</source>
        <translation>파일이 삭제되었습니다.</translation>
    </message>
    <message>
        <source>Deleted files.</source>
        <translation>삭제된 파일</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>폴더 선택</translation>
    </message>
    <message>
        <source>close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Managing Folders</source>
        <translation>폴더 관리</translation>
    </message>
    <message>
        <source>Edit Folders</source>
        <translation>폴더 편집</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>새 폴더</translation>
    </message>
    <message>
        <source>Move Files</source>
        <translation>파일 이동</translation>
    </message>
    <message>
        <source>Move Files(0)</source>
        <translation>파일 이동(0)</translation>
    </message>
    <message>
        <source>Delete Folder</source>
        <translation>폴더 삭제</translation>
    </message>
    <message>
        <source>Delete Folder(0)</source>
        <translation>폴더 삭제(0)</translation>
    </message>
    <message>
        <source>Folder name</source>
        <translation>폴더 이름</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>만들기</translation>
    </message>
    <message>
        <source>A folder of that name already exists.</source>
        <translation>같은 이름의 폴더가 이미 있습니다.</translation>
    </message>
    <message>
        <source>%1 moved, %2 not moved: a file of that name is already there, or it is gone.</source>
        <translation>%1개 이동, %2개는 이동하지 못했습니다: 같은 이름의 파일이 이미 있거나 파일이 없습니다.</translation>
    </message>
    <message>
        <source>Delete the realfolder N</source>
        <translation>개 폴더와 그 안의 모든 파일이 삭제됩니다.</translation>
    </message>
    <message>
        <source>Delete the file N</source>
        <translation>개 파일이 삭제됩니다.</translation>
    </message>
    <message>
        <source>N files selected</source>
        <translation>개 파일 선택됨</translation>
    </message>
    <message>
        <source>folder(s)</source>
        <translation>개 폴더</translation>
    </message>
    <message>
        <source>file(s)</source>
        <translation>개 파일</translation>
    </message>
    <message>
        <source>selected</source>
        <translation>선택됨</translation>
    </message>
    <message>
        <source>Please select the folder you want to move.</source>
        <translation>이동할 폴더를 선택하세요.</translation>
    </message>
    <message>
        <source>moved the files.</source>
        <translation>파일을 이동했습니다.</translation>
    </message>
    <message>
        <source>Deleted folder.</source>
        <translation>폴더를 삭제했습니다.</translation>
    </message>
    <message>
        <source>New Folder Error</source>
        <translation>새 폴더 오류</translation>
    </message>
    <message>
        <source>Please enter a folder name...</source>
        <translation>폴더 이름을 입력하세요...</translation>
    </message>
    <message>
        <source>Invalid character was entered for</source>
        <translation>폴더 이름으로 쓸 수 없는 이름입니다.</translation>
    </message>
    <message>
        <source>Folder was created successfully.</source>
        <translation>폴더를 만들었습니다.</translation>
    </message>
</context>
</TS>
