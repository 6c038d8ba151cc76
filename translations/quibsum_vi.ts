<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="vi_VN">
<context>
    <name>CompletionList</name>
    <message>
        <source>Variable suggestions</source>
        <translation>Gợi ý tên biến</translation>
    </message>
</context>
<context>
    <name>DesktopApp</name>
    <message>
        <source>Quib Sum cannot start.

%1</source>
        <translation>Quib Sum không khởi động được.

%1</translation>
    </message>
    <message>
        <source>Pin: stays shown when you switch programs (this desktop keeps no window on top of others)</source>
        <translation>Ghim: vẫn hiện khi bạn chuyển sang chương trình khác (môi trường máy tính này không giữ cửa sổ nào trên cùng)</translation>
    </message>
</context>
<context>
    <name>EditorView</name>
    <message>
        <source> … (%1 more characters, not shown)</source>
        <translation> … (còn %1 ký tự, không hiển thị)</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Chưa lưu thay đổi</translation>
    </message>
    <message>
        <source>A line is too long to edit here: the sheet is shown shortened and kept unchanged.</source>
        <translation>Có dòng quá dài để sửa ở đây: trang được hiển thị rút gọn và giữ nguyên.</translation>
    </message>
    <message>
        <source>Opening…</source>
        <translation>Đang mở…</translation>
    </message>
    <message>
        <source>mid-market</source>
        <translation>giá trung bình thị trường</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Source: Vietcombank (%1) · %2</source>
        <translation>Nguồn: Vietcombank (%1) · %2</translation>
    </message>
    <message>
        <source>Source: ExchangeRate-API · %1</source>
        <translation>Nguồn: ExchangeRate-API · %1</translation>
    </message>
    <message>
        <source>Source: bundled rates · %1</source>
        <translation>Nguồn: tỷ giá đi kèm · %1</translation>
    </message>
    <message>
        <source>Source: rate typed in this sheet</source>
        <translation>Nguồn: tỷ giá nhập trong trang này</translation>
    </message>
</context>
<context>
    <name>GnomeShortcut</name>
    <message>
        <source>GNOME's “gsettings” tool is not installed.</source>
        <translation>Công cụ “gsettings” của GNOME chưa được cài.</translation>
    </message>
    <message>
        <source>GNOME's settings did not answer.</source>
        <translation>Cài đặt của GNOME không trả lời.</translation>
    </message>
    <message>
        <source>GNOME's list of custom shortcuts could not be read.</source>
        <translation>Không đọc được danh sách phím tắt tự đặt của GNOME.</translation>
    </message>
    <message>
        <source>GNOME cannot bind %1.</source>
        <translation>GNOME không gán được %1.</translation>
    </message>
    <message>
        <source>GNOME already has a custom shortcut of the same name that runs “%1”; it was left as it is.</source>
        <translation>GNOME đã có một phím tắt tự đặt cùng tên chạy “%1”; phím tắt đó được giữ nguyên.</translation>
    </message>
</context>
<context>
    <name>HotKeyAdvice</name>
    <message>
        <source>%1 needs a line in sway's configuration (~/.config/sway/config) to open Quib Sum. Add this line, then reload sway:</source>
        <translation>%1 cần một dòng trong cấu hình của sway (~/.config/sway/config) để mở Quib Sum. Thêm dòng này rồi nạp lại sway:</translation>
    </message>
    <message>
        <source>GNOME does not let programs set a global shortcut. Add %1 to GNOME's keyboard shortcuts to open Quib Sum with it.</source>
        <translation>GNOME không cho chương trình đặt phím tắt toàn cục. Hãy thêm %1 vào phím tắt bàn phím của GNOME để mở Quib Sum bằng nó.</translation>
    </message>
    <message>
        <source>%1 does not open Quib Sum on this desktop. Bind the command “quibsum toggle” to it in the desktop's keyboard settings.</source>
        <translation>%1 không mở Quib Sum trên môi trường máy tính này. Hãy gán lệnh “quibsum toggle” cho nó trong phần cài đặt bàn phím của môi trường máy tính.</translation>
    </message>
</context>
<context>
    <name>HotKeyError</name>
    <message>
        <source>To use %1, bind the command “quibsum toggle” to it in the desktop's keyboard settings.</source>
        <translation>Để dùng %1, hãy gán lệnh “quibsum toggle” cho nó trong phần cài đặt bàn phím của môi trường máy tính.</translation>
    </message>
    <message>
        <source>key %1</source>
        <translation>phím %1</translation>
    </message>
    <message>
        <source>%1 is already taken by another program.</source>
        <translation>%1 đã bị một chương trình khác dùng.</translation>
    </message>
    <message>
        <source>This desktop does not let programs set a global hot key. </source>
        <translation>Môi trường máy tính này không cho chương trình đặt phím tắt toàn cục. </translation>
    </message>
    <message>
        <source>The desktop did not grant %1 as a global hot key. </source>
        <translation>Môi trường máy tính không cho dùng %1 làm phím tắt toàn cục. </translation>
    </message>
    <message>
        <source>it</source>
        <translation>nó</translation>
    </message>
    <message>
        <source>%1 cannot be a global hot key: this keyboard has no such key.</source>
        <translation>%1 không thể là phím tắt toàn cục: bàn phím này không có phím đó.</translation>
    </message>
</context>
<context>
    <name>HotKeyNotice</name>
    <message>
        <source>Dismiss</source>
        <translation>Bỏ qua</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Chép</translation>
    </message>
    <message>
        <source>%1 is in GNOME's keyboard shortcuts, where it opens Quib Sum.</source>
        <translation>%1 đã có trong phím tắt bàn phím của GNOME và mở Quib Sum.</translation>
    </message>
    <message>
        <source>Add to GNOME Shortcuts</source>
        <translation>Thêm vào phím tắt GNOME</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
    <message>
        <source>The shortcut could not be added to GNOME's settings: %1</source>
        <translation>Không thêm được phím tắt vào cài đặt của GNOME: %1</translation>
    </message>
</context>
<context>
    <name>HotkeyRecorder</name>
    <message>
        <source>Record shortcut</source>
        <translation>Ghi phím tắt</translation>
    </message>
    <message>
        <source>Press shortcut…</source>
        <translation>Bấm phím tắt…</translation>
    </message>
</context>
<context>
    <name>Intents</name>
    <message>
        <source>Cannot calculate this expression</source>
        <translation>Không tính được biểu thức này</translation>
    </message>
</context>
<context>
    <name>KRunnerRunner</name>
    <message>
        <source>Copy result</source>
        <translation>Chép kết quả</translation>
    </message>
    <message>
        <source>Open in Quib Sum</source>
        <translation>Mở trong Quib Sum</translation>
    </message>
</context>
<context>
    <name>LargeSheetView</name>
    <message>
        <source>Calculator sheet, read-only</source>
        <translation>Trang tính, chỉ đọc</translation>
    </message>
    <message>
        <source>This sheet has %L1 lines, more than can be edited here: it is shown read-only and never changed.</source>
        <translation>Trang này có %L1 dòng, nhiều hơn mức có thể sửa ở đây: trang được hiển thị chỉ để đọc và không bao giờ bị thay đổi.</translation>
    </message>
    <message>
        <source>“quibsum sheet %1” prints it with its results; “quibsum append” adds lines to the quick sheet.</source>
        <translation>“quibsum sheet %1” in trang cùng các kết quả; “quibsum append” thêm dòng vào trang nhanh.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>TỆP</translation>
    </message>
    <message>
        <source>Working out the results…</source>
        <translation>Đang tính kết quả…</translation>
    </message>
</context>
<context>
    <name>LaunchAtLogin</name>
    <message>
        <source>Cannot remove %1: %2</source>
        <translation>Không xoá được %1: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Không tạo được thư mục %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Không ghi được %1: %2</translation>
    </message>
</context>
<context>
    <name>PanelIcon</name>
    <message>
        <source>Show Quib Sum</source>
        <translation>Hiện Quib Sum</translation>
    </message>
    <message>
        <source>New Sheet</source>
        <translation>Trang mới</translation>
    </message>
    <message>
        <source>Update Rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Cài đặt…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Thoát</translation>
    </message>
</context>
<context>
    <name>ProjectLinks</name>
    <message>
        <source>Quib Sum</source>
        <translation>Quib Sum</translation>
    </message>
    <message>
        <source>No program could open %1.</source>
        <translation>Không có chương trình nào mở được %1.</translation>
    </message>
    <message>
        <source>Copy the address into a web browser to open it there.</source>
        <translation>Hãy chép địa chỉ vào trình duyệt web để mở.</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Hoàn tác</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Làm lại</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cắ&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Chép</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Dán</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Huỷ</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Lưu</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Bỏ</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Có</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Không</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Hoàn tác</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Làm lại</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cắ&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Chép</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Dán</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Chép địa chỉ &amp;liên kết</translation>
    </message>
</context>
<context>
    <name>RateStatus</name>
    <message>
        <source>Bundled rates</source>
        <translation>Tỷ giá đi kèm</translation>
    </message>
</context>
<context>
    <name>ResultColumn</name>
    <message>
        <source>Results. Click to copy.</source>
        <translation>Kết quả. Bấm để sao chép.</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
</context>
<context>
    <name>SearchAnswer</name>
    <message>
        <source>Vietcombank transfer rate</source>
        <translation>Tỷ giá chuyển khoản Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank buying rate</source>
        <translation>Tỷ giá mua Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank selling rate</source>
        <translation>Tỷ giá bán Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank mid-market rate</source>
        <translation>Tỷ giá trung bình thị trường Vietcombank</translation>
    </message>
    <message>
        <source>ExchangeRate-API rate · %1</source>
        <translation>Tỷ giá ExchangeRate-API · %1</translation>
    </message>
    <message>
        <source>bundled rate · %1</source>
        <translation>tỷ giá đi kèm · %1</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>General</source>
        <translation>Chung</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Phím tắt</translation>
    </message>
    <message>
        <source>Exchange rates</source>
        <translation>Tỷ giá</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Giới thiệu</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Cài đặt</translation>
    </message>
    <message>
        <source>Search settings…</source>
        <translation>Tìm cài đặt…</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Giao diện</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Tối</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Sáng</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Theo hệ thống</translation>
    </message>
    <message>
        <source>Number style</source>
        <translation>Kiểu số</translation>
    </message>
    <message>
        <source>United States (1,234.5)</source>
        <translation>Hoa Kỳ (1,234.5)</translation>
    </message>
    <message>
        <source>Vietnam (1.234,5)</source>
        <translation>Việt Nam (1.234,5)</translation>
    </message>
    <message>
        <source>Default currency</source>
        <translation>Tiền tệ mặc định</translation>
    </message>
    <message>
        <source>Default VND rate</source>
        <translation>Tỷ giá VND mặc định</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Mở khi đăng nhập</translation>
    </message>
    <message>
        <source>Show icon in the panel</source>
        <translation>Hiện biểu tượng trên thanh tác vụ</translation>
    </message>
    <message>
        <source>This desktop has no panel that shows the icons of programs.</source>
        <translation>Môi trường máy tính này không có thanh hiển thị biểu tượng của chương trình.</translation>
    </message>
    <message>
        <source>Window shortcut</source>
        <translation>Phím tắt cửa sổ</translation>
    </message>
    <message>
        <source>Reset to Ctrl+Alt+Space</source>
        <translation>Đặt lại Ctrl+Alt+Space</translation>
    </message>
    <message>
        <source>Reset shortcut</source>
        <translation>Đặt lại phím tắt</translation>
    </message>
    <message>
        <source>Where the desktop keeps global shortcuts to itself, bind the command “quibsum toggle” in its keyboard settings instead.</source>
        <translation>Nếu môi trường máy tính giữ phím tắt toàn cục cho riêng mình, hãy gán lệnh “quibsum toggle” trong phần cài đặt bàn phím của nó.</translation>
    </message>
    <message>
        <source>Live rates</source>
        <translation>Tỷ giá trực tuyến</translation>
    </message>
    <message>
        <source>Update Rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>How to convert currencies</source>
        <translation>Cách đổi tiền tệ</translation>
    </message>
    <message>
        <source>Support Quib Sum</source>
        <translation>Ủng hộ Quib Sum</translation>
    </message>
    <message>
        <source>Donate…</source>
        <translation>Ủng hộ…</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Cập nhật</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Kiểm tra bản mới…</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Phiên bản</translation>
    </message>
</context>
<context>
    <name>SheetStore</name>
    <message>
        <source>Quick</source>
        <translation>Nhanh</translation>
    </message>
    <message>
        <source>Could not read the sheet index %1: %2</source>
        <translation>Không đọc được mục lục trang %1: %2</translation>
    </message>
    <message>
        <source>The sheet index %1 is damaged: %2</source>
        <translation>Mục lục trang %1 bị hỏng: %2</translation>
    </message>
    <message>
        <source>Could not read the sheet %1: %2</source>
        <translation>Không đọc được trang %1: %2</translation>
    </message>
    <message>
        <source>Could not add to the quick sheet: it would be larger than the %1 limit</source>
        <translation>Không thêm được vào trang nhanh: trang sẽ vượt giới hạn %1</translation>
    </message>
    <message>
        <source>Sheet %1</source>
        <translation>Trang %1</translation>
    </message>
    <message>
        <source>The quick sheet cannot be deleted.</source>
        <translation>Không thể xoá trang nhanh.</translation>
    </message>
    <message>
        <source>Could not remove the sheet %1: %2</source>
        <translation>Không xoá được trang %1: %2</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <translation>Không lưu được %1: %2</translation>
    </message>
    <message>
        <source>Could not lock the sheets with %1: %2</source>
        <translation>Không khoá được các trang bằng %1: %2</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>đây không phải tệp thường</translation>
    </message>
    <message>
        <source>Could not create the folder %1: %2</source>
        <translation>Không tạo được thư mục %1: %2</translation>
    </message>
    <message>
        <source>Could not create the folder %1: it is not a folder</source>
        <translation>Không tạo được thư mục %1: đây không phải thư mục</translation>
    </message>
    <message>
        <source>The sheet %1 is not UTF-8 text, so it is kept exactly as it is and can only be read</source>
        <translation>Trang %1 không phải văn bản UTF-8 nên được giữ nguyên và chỉ có thể đọc</translation>
    </message>
    <message>
        <source>%1 (changed elsewhere)</source>
        <translation>%1 (đã đổi ở nơi khác)</translation>
    </message>
    <message>
        <source>Another program holds the sheets' lock %1</source>
        <translation>Một chương trình khác đang giữ khoá các trang %1</translation>
    </message>
    <message>
        <source>Another program held the sheets' lock %1 for %2 s, so nothing was changed</source>
        <translation>Một chương trình khác đã giữ khoá các trang %1 suốt %2 giây nên không có gì thay đổi</translation>
    </message>
</context>
<context>
    <name>SumCurrencyGuide</name>
    <message>
        <source>Fastest way: type an amount with its currency, then the currency you want, as in 100 USD VND.</source>
        <translation>Cách nhanh nhất: gõ số tiền kèm loại tiền, rồi loại tiền muốn đổi sang, như 100 USD VND.</translation>
    </message>
    <message>
        <source>Convert money</source>
        <translation>Đổi tiền</translation>
    </message>
    <message>
        <source>The currency you want, right after the amount, converts it.</source>
        <translation>Loại tiền muốn đổi, viết ngay sau số tiền, sẽ đổi số tiền đó.</translation>
    </message>
    <message>
        <source>Or put a word between them: to, in, into, sang, đổi ra, thành, qua.</source>
        <translation>Hoặc đặt một từ ở giữa: to, in, into, sang, đổi ra, thành, qua.</translation>
    </message>
    <message>
        <source>An equals sign with a question mark asks too.</source>
        <translation>Dấu bằng kèm dấu hỏi cũng là một câu hỏi.</translation>
    </message>
    <message>
        <source>An arrow works the same way.</source>
        <translation>Mũi tên cũng dùng được như vậy.</translation>
    </message>
    <message>
        <source>Ask in Vietnamese: là bao nhiêu, bằng bao nhiêu, được bao nhiêu.</source>
        <translation>Hỏi bằng tiếng Việt: là bao nhiêu, bằng bao nhiêu, được bao nhiêu.</translation>
    </message>
    <message>
        <source>A line may start with đổi or quy đổi, as you would say it.</source>
        <translation>Dòng có thể bắt đầu bằng đổi hoặc quy đổi, như khi bạn nói.</translation>
    </message>
    <message>
        <source>A variable holding money converts like the amount itself.</source>
        <translation>Biến chứa tiền được đổi như chính số tiền đó.</translation>
    </message>
    <message>
        <source>Writing amounts</source>
        <translation>Cách viết số tiền</translation>
    </message>
    <message>
        <source>Dollars: $20, 20 USD or 20 đô.</source>
        <translation>Đô la: $20, 20 USD hoặc 20 đô.</translation>
    </message>
    <message>
        <source>Euros: €50, 50 EUR or 50 euro.</source>
        <translation>Euro: €50, 50 EUR hoặc 50 euro.</translation>
    </message>
    <message>
        <source>Dong: đ, ₫, VND, vnđ or đồng.</source>
        <translation>Đồng: đ, ₫, VND, vnđ hoặc đồng.</translation>
    </message>
    <message>
        <source>Yen and pounds: ¥ and £, or JPY and GBP.</source>
        <translation>Yên và bảng: ¥ và £, hoặc JPY và GBP.</translation>
    </message>
    <message>
        <source>Any three-letter ISO code, in capitals or not.</source>
        <translation>Mọi mã ISO ba chữ cái, viết hoa hay không đều được.</translation>
    </message>
    <message>
        <source>Rates you type</source>
        <translation>Tỷ giá bạn tự nhập</translation>
    </message>
    <message>
        <source>A rate typed on its own line is used by every line below it, before the bank's.</source>
        <translation>Tỷ giá nhập trên một dòng riêng được mọi dòng bên dưới dùng, trước tỷ giá của ngân hàng.</translation>
    </message>
    <message>
        <source>Spell out both currencies when the rate is not in dong.</source>
        <translation>Ghi rõ cả hai loại tiền khi tỷ giá không tính bằng đồng.</translation>
    </message>
    <message>
        <source>Without a rate of yours, dong conversions use the Default VND rate chosen in Settings: Transfer unless you change it.</source>
        <translation>Khi bạn không nhập tỷ giá, phép đổi sang đồng dùng Tỷ giá VND mặc định chọn trong Cài đặt: Chuyển khoản nếu bạn không đổi.</translation>
    </message>
    <message>
        <source>@ gives the rate for this line only, in dong unless you name another currency.</source>
        <translation>@ cho tỷ giá của riêng dòng này, tính bằng đồng trừ khi bạn ghi loại tiền khác.</translation>
    </message>
    <message>
        <source>A rate works both ways: the inverse is used when needed.</source>
        <translation>Tỷ giá dùng được cả hai chiều: khi cần, tỷ giá nghịch đảo được dùng.</translation>
    </message>
    <message>
        <source>Buy and sell rates</source>
        <translation>Tỷ giá mua và bán</translation>
    </message>
    <message>
        <source>mua uses the bank's buy rate, bán its sell rate, for this line only.</source>
        <translation>mua dùng tỷ giá mua của ngân hàng, bán dùng tỷ giá bán, chỉ cho dòng này.</translation>
    </message>
    <message>
        <source>A line with both mua and bán uses the buy rate; when the bank has no buy or sell rate for a currency, the market rate answers.</source>
        <translation>Dòng có cả mua và bán dùng tỷ giá mua; khi ngân hàng không có tỷ giá mua hay bán cho một loại tiền, tỷ giá thị trường được dùng.</translation>
    </message>
    <message>
        <source>Number separators</source>
        <translation>Dấu phân cách số</translation>
    </message>
    <message>
        <source>With the Vietnam number style, dots group thousands and a comma marks decimals.</source>
        <translation>Với kiểu số Việt Nam, dấu chấm phân nhóm hàng nghìn và dấu phẩy đánh dấu phần thập phân.</translation>
    </message>
    <message>
        <source>With the United States number style, commas group thousands and a dot marks decimals.</source>
        <translation>Với kiểu số Hoa Kỳ, dấu phẩy phân nhóm hàng nghìn và dấu chấm đánh dấu phần thập phân.</translation>
    </message>
    <message>
        <source>Decimals take a scale word: k or nghìn, tr or triệu.</source>
        <translation>Số thập phân có thể kèm từ chỉ bậc: k hoặc nghìn, tr hoặc triệu.</translation>
    </message>
    <message>
        <source>How to convert currencies</source>
        <translation>Cách đổi tiền tệ</translation>
    </message>
    <message>
        <source>A decimal may start with its decimal mark: .5 is a half.</source>
        <translation>Số thập phân có thể bắt đầu bằng dấu thập phân: .5 là một nửa.</translation>
    </message>
</context>
<context>
    <name>SumService</name>
    <message>
        <source>Quib Sum is still starting; try again in a moment.</source>
        <translation>Quib Sum đang khởi động; hãy thử lại sau giây lát.</translation>
    </message>
    <message>
        <source>the object path %1 is taken</source>
        <translation>đường dẫn đối tượng %1 đã bị chiếm</translation>
    </message>
    <message>
        <source>There is no text to append.</source>
        <translation>Không có văn bản để thêm.</translation>
    </message>
    <message>
        <source>The text is larger than the 64 MiB a sheet can hold.</source>
        <translation>Văn bản lớn hơn 64 MiB mà một trang có thể chứa.</translation>
    </message>
    <message>
        <source>The expression is longer than %1 characters.</source>
        <translation>Biểu thức dài hơn %1 ký tự.</translation>
    </message>
    <message>
        <source>The text arrived after its sender stopped waiting; it was not added.</source>
        <translation>Văn bản đến sau khi bên gửi đã thôi chờ; văn bản không được thêm.</translation>
    </message>
    <message>
        <source>No text is selected or copied.</source>
        <translation>Không có văn bản nào được chọn hay sao chép.</translation>
    </message>
    <message>
        <source>The selection is larger than the 64 MiB a sheet can hold.</source>
        <translation>Phần được chọn lớn hơn 64 MiB mà một trang có thể chứa.</translation>
    </message>
</context>
<context>
    <name>SumSettings</name>
    <message>
        <source>Could not read the settings %1: it is not a regular file</source>
        <translation>Không đọc được cài đặt %1: đây không phải tệp thường</translation>
    </message>
    <message>
        <source>Could not read the settings %1: it is larger than the %2 limit. The default settings are used, and changes are not saved.</source>
        <translation>Không đọc được cài đặt %1: tệp vượt giới hạn %2. Quib Sum dùng cài đặt mặc định và không lưu các thay đổi.</translation>
    </message>
</context>
<context>
    <name>SumTextView</name>
    <message>
        <source>Calculator sheet</source>
        <translation>Trang tính</translation>
    </message>
</context>
<context>
    <name>SumWindow</name>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Huỷ</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ẩn</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Tệp</translation>
    </message>
    <message>
        <source>New sheet</source>
        <translation>Trang mới</translation>
    </message>
    <message>
        <source>Next sheet</source>
        <translation>Trang sau</translation>
    </message>
    <message>
        <source>Previous sheet</source>
        <translation>Trang trước</translation>
    </message>
    <message>
        <source>Delete…</source>
        <translation>Xoá…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Sửa</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Hoàn tác</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cắt</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Chép</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Dán</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
    <message>
        <source>Your changes could not be saved, so Quib Sum keeps running.

%1</source>
        <translation>Không lưu được thay đổi, nên Quib Sum vẫn tiếp tục chạy.

%1</translation>
    </message>
    <message>
        <source>Delete this sheet?</source>
        <translation>Xoá trang này?</translation>
    </message>
    <message>
        <source>This cannot be undone.</source>
        <translation>Không thể hoàn tác.</translation>
    </message>
    <message>
        <source>“%1” was changed by another program in a way that cannot be combined with your changes. Your text is saved, and the other program's text is kept as the sheet “%2”.</source>
        <translation>“%1” đã bị một chương trình khác thay đổi theo cách không gộp được với thay đổi của bạn. Văn bản của bạn đã được lưu, còn văn bản của chương trình kia được giữ thành trang “%2”.</translation>
    </message>
    <message>
        <source>No text is selected or copied.</source>
        <translation>Không có văn bản nào được chọn hay sao chép.</translation>
    </message>
</context>
<context>
    <name>TotalFooter</name>
    <message>
        <source>Total:</source>
        <translation>Tổng:</translation>
    </message>
    <message>
        <source>Pin on top</source>
        <translation>Ghim trên cùng</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Cài đặt</translation>
    </message>
    <message>
        <source>Number style</source>
        <translation>Kiểu số</translation>
    </message>
    <message>
        <source>United States (1,234.5)</source>
        <translation>Hoa Kỳ (1,234.5)</translation>
    </message>
    <message>
        <source>Vietnam (1.234,5)</source>
        <translation>Việt Nam (1.234,5)</translation>
    </message>
    <message>
        <source>Default VND rate</source>
        <translation>Tỷ giá VND mặc định</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Giao diện</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Tối</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Sáng</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Theo hệ thống</translation>
    </message>
    <message>
        <source>Update rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Cài đặt…</translation>
    </message>
    <message>
        <source>Donate…</source>
        <translation>Ủng hộ…</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Kiểm tra bản mới…</translation>
    </message>
    <message>
        <source>Quit Quib Sum</source>
        <translation>Thoát Quib Sum</translation>
    </message>
    <message>
        <source>Sum of %1 lines</source>
        <translation>Tổng của %1 dòng</translation>
    </message>
    <message>
        <source>Incompatible page units</source>
        <translation>Đơn vị trong trang không tương thích</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
    <message>
        <source>Copy page total</source>
        <translation>Chép tổng trang</translation>
    </message>
</context>
<context>
    <name>quibsum::CompletionList</name>
    <message>
        <source>Variable suggestions</source>
        <translation>Gợi ý tên biến</translation>
    </message>
</context><context>
    <name>quibsum::DesktopApp</name>
    <message>
        <source>Quib Sum cannot start.

%1</source>
        <translation>Quib Sum không khởi động được.

%1</translation>
    </message>
    <message>
        <source>Pin: stays shown when you switch programs (this desktop keeps no window on top of others)</source>
        <translation>Ghim: vẫn hiện khi bạn chuyển sang chương trình khác (môi trường máy tính này không giữ cửa sổ nào trên cùng)</translation>
    </message>
</context><context>
    <name>quibsum::EditorView</name>
    <message>
        <source> … (%1 more characters, not shown)</source>
        <translation> … (còn %1 ký tự, không hiển thị)</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Chưa lưu thay đổi</translation>
    </message>
    <message>
        <source>A line is too long to edit here: the sheet is shown shortened and kept unchanged.</source>
        <translation>Có dòng quá dài để sửa ở đây: trang được hiển thị rút gọn và giữ nguyên.</translation>
    </message>
    <message>
        <source>Opening…</source>
        <translation>Đang mở…</translation>
    </message>
    <message>
        <source>mid-market</source>
        <translation>giá trung bình thị trường</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Source: Vietcombank (%1) · %2</source>
        <translation>Nguồn: Vietcombank (%1) · %2</translation>
    </message>
    <message>
        <source>Source: ExchangeRate-API · %1</source>
        <translation>Nguồn: ExchangeRate-API · %1</translation>
    </message>
    <message>
        <source>Source: bundled rates · %1</source>
        <translation>Nguồn: tỷ giá đi kèm · %1</translation>
    </message>
    <message>
        <source>Source: rate typed in this sheet</source>
        <translation>Nguồn: tỷ giá nhập trong trang này</translation>
    </message>
</context><context>
    <name>quibsum::GnomeShortcut</name>
    <message>
        <source>GNOME's “gsettings” tool is not installed.</source>
        <translation>Công cụ “gsettings” của GNOME chưa được cài.</translation>
    </message>
    <message>
        <source>GNOME's settings did not answer.</source>
        <translation>Cài đặt của GNOME không trả lời.</translation>
    </message>
    <message>
        <source>GNOME's list of custom shortcuts could not be read.</source>
        <translation>Không đọc được danh sách phím tắt tự đặt của GNOME.</translation>
    </message>
    <message>
        <source>GNOME cannot bind %1.</source>
        <translation>GNOME không gán được %1.</translation>
    </message>
    <message>
        <source>GNOME already has a custom shortcut of the same name that runs “%1”; it was left as it is.</source>
        <translation>GNOME đã có một phím tắt tự đặt cùng tên chạy “%1”; phím tắt đó được giữ nguyên.</translation>
    </message>
</context><context>
    <name>quibsum::HotKeyAdvice</name>
    <message>
        <source>%1 needs a line in sway's configuration (~/.config/sway/config) to open Quib Sum. Add this line, then reload sway:</source>
        <translation>%1 cần một dòng trong cấu hình của sway (~/.config/sway/config) để mở Quib Sum. Thêm dòng này rồi nạp lại sway:</translation>
    </message>
    <message>
        <source>GNOME does not let programs set a global shortcut. Add %1 to GNOME's keyboard shortcuts to open Quib Sum with it.</source>
        <translation>GNOME không cho chương trình đặt phím tắt toàn cục. Hãy thêm %1 vào phím tắt bàn phím của GNOME để mở Quib Sum bằng nó.</translation>
    </message>
    <message>
        <source>%1 does not open Quib Sum on this desktop. Bind the command “quibsum toggle” to it in the desktop's keyboard settings.</source>
        <translation>%1 không mở Quib Sum trên môi trường máy tính này. Hãy gán lệnh “quibsum toggle” cho nó trong phần cài đặt bàn phím của môi trường máy tính.</translation>
    </message>
</context><context>
    <name>quibsum::HotKeyError</name>
    <message>
        <source>To use %1, bind the command “quibsum toggle” to it in the desktop's keyboard settings.</source>
        <translation>Để dùng %1, hãy gán lệnh “quibsum toggle” cho nó trong phần cài đặt bàn phím của môi trường máy tính.</translation>
    </message>
    <message>
        <source>key %1</source>
        <translation>phím %1</translation>
    </message>
    <message>
        <source>%1 is already taken by another program.</source>
        <translation>%1 đã bị một chương trình khác dùng.</translation>
    </message>
    <message>
        <source>This desktop does not let programs set a global hot key. </source>
        <translation>Môi trường máy tính này không cho chương trình đặt phím tắt toàn cục. </translation>
    </message>
    <message>
        <source>The desktop did not grant %1 as a global hot key. </source>
        <translation>Môi trường máy tính không cho dùng %1 làm phím tắt toàn cục. </translation>
    </message>
    <message>
        <source>it</source>
        <translation>nó</translation>
    </message>
    <message>
        <source>%1 cannot be a global hot key: this keyboard has no such key.</source>
        <translation>%1 không thể là phím tắt toàn cục: bàn phím này không có phím đó.</translation>
    </message>
</context><context>
    <name>quibsum::HotKeyNotice</name>
    <message>
        <source>Dismiss</source>
        <translation>Bỏ qua</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Chép</translation>
    </message>
    <message>
        <source>%1 is in GNOME's keyboard shortcuts, where it opens Quib Sum.</source>
        <translation>%1 đã có trong phím tắt bàn phím của GNOME và mở Quib Sum.</translation>
    </message>
    <message>
        <source>Add to GNOME Shortcuts</source>
        <translation>Thêm vào phím tắt GNOME</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
    <message>
        <source>The shortcut could not be added to GNOME's settings: %1</source>
        <translation>Không thêm được phím tắt vào cài đặt của GNOME: %1</translation>
    </message>
</context><context>
    <name>quibsum::HotkeyRecorder</name>
    <message>
        <source>Record shortcut</source>
        <translation>Ghi phím tắt</translation>
    </message>
    <message>
        <source>Press shortcut…</source>
        <translation>Bấm phím tắt…</translation>
    </message>
</context><context>
    <name>quibsum::Intents</name>
    <message>
        <source>Cannot calculate this expression</source>
        <translation>Không tính được biểu thức này</translation>
    </message>
</context><context>
    <name>quibsum::KRunnerRunner</name>
    <message>
        <source>Copy result</source>
        <translation>Chép kết quả</translation>
    </message>
    <message>
        <source>Open in Quib Sum</source>
        <translation>Mở trong Quib Sum</translation>
    </message>
</context><context>
    <name>quibsum::LargeSheetView</name>
    <message>
        <source>Calculator sheet, read-only</source>
        <translation>Trang tính, chỉ đọc</translation>
    </message>
    <message>
        <source>This sheet has %L1 lines, more than can be edited here: it is shown read-only and never changed.</source>
        <translation>Trang này có %L1 dòng, nhiều hơn mức có thể sửa ở đây: trang được hiển thị chỉ để đọc và không bao giờ bị thay đổi.</translation>
    </message>
    <message>
        <source>“quibsum sheet %1” prints it with its results; “quibsum append” adds lines to the quick sheet.</source>
        <translation>“quibsum sheet %1” in trang cùng các kết quả; “quibsum append” thêm dòng vào trang nhanh.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>TỆP</translation>
    </message>
    <message>
        <source>Working out the results…</source>
        <translation>Đang tính kết quả…</translation>
    </message>
</context><context>
    <name>quibsum::LaunchAtLogin</name>
    <message>
        <source>Cannot remove %1: %2</source>
        <translation>Không xoá được %1: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Không tạo được thư mục %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Không ghi được %1: %2</translation>
    </message>
</context><context>
    <name>quibsum::PanelIcon</name>
    <message>
        <source>Show Quib Sum</source>
        <translation>Hiện Quib Sum</translation>
    </message>
    <message>
        <source>New Sheet</source>
        <translation>Trang mới</translation>
    </message>
    <message>
        <source>Update Rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Cài đặt…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Thoát</translation>
    </message>
</context><context>
    <name>quibsum::ProjectLinks</name>
    <message>
        <source>Quib Sum</source>
        <translation>Quib Sum</translation>
    </message>
    <message>
        <source>No program could open %1.</source>
        <translation>Không có chương trình nào mở được %1.</translation>
    </message>
    <message>
        <source>Copy the address into a web browser to open it there.</source>
        <translation>Hãy chép địa chỉ vào trình duyệt web để mở.</translation>
    </message>
</context><context>
    <name>quibsum::QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Hoàn tác</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Làm lại</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cắ&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Chép</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Dán</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
</context><context>
    <name>quibsum::QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Huỷ</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Lưu</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Bỏ</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Có</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Không</translation>
    </message>
</context><context>
    <name>quibsum::QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Hoàn tác</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Làm lại</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cắ&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Chép</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Dán</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Chép địa chỉ &amp;liên kết</translation>
    </message>
</context><context>
    <name>quibsum::RateStatus</name>
    <message>
        <source>Bundled rates</source>
        <translation>Tỷ giá đi kèm</translation>
    </message>
</context><context>
    <name>quibsum::ResultColumn</name>
    <message>
        <source>Results. Click to copy.</source>
        <translation>Kết quả. Bấm để sao chép.</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
</context><context>
    <name>quibsum::SearchAnswer</name>
    <message>
        <source>Vietcombank transfer rate</source>
        <translation>Tỷ giá chuyển khoản Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank buying rate</source>
        <translation>Tỷ giá mua Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank selling rate</source>
        <translation>Tỷ giá bán Vietcombank</translation>
    </message>
    <message>
        <source>Vietcombank mid-market rate</source>
        <translation>Tỷ giá trung bình thị trường Vietcombank</translation>
    </message>
    <message>
        <source>ExchangeRate-API rate · %1</source>
        <translation>Tỷ giá ExchangeRate-API · %1</translation>
    </message>
    <message>
        <source>bundled rate · %1</source>
        <translation>tỷ giá đi kèm · %1</translation>
    </message>
</context><context>
    <name>quibsum::SettingsWindow</name>
    <message>
        <source>General</source>
        <translation>Chung</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Phím tắt</translation>
    </message>
    <message>
        <source>Exchange rates</source>
        <translation>Tỷ giá</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Giới thiệu</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Cài đặt</translation>
    </message>
    <message>
        <source>Search settings…</source>
        <translation>Tìm cài đặt…</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Giao diện</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Tối</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Sáng</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Theo hệ thống</translation>
    </message>
    <message>
        <source>Number style</source>
        <translation>Kiểu số</translation>
    </message>
    <message>
        <source>United States (1,234.5)</source>
        <translation>Hoa Kỳ (1,234.5)</translation>
    </message>
    <message>
        <source>Vietnam (1.234,5)</source>
        <translation>Việt Nam (1.234,5)</translation>
    </message>
    <message>
        <source>Default currency</source>
        <translation>Tiền tệ mặc định</translation>
    </message>
    <message>
        <source>Default VND rate</source>
        <translation>Tỷ giá VND mặc định</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Mở khi đăng nhập</translation>
    </message>
    <message>
        <source>Show icon in the panel</source>
        <translation>Hiện biểu tượng trên thanh tác vụ</translation>
    </message>
    <message>
        <source>This desktop has no panel that shows the icons of programs.</source>
        <translation>Môi trường máy tính này không có thanh hiển thị biểu tượng của chương trình.</translation>
    </message>
    <message>
        <source>Window shortcut</source>
        <translation>Phím tắt cửa sổ</translation>
    </message>
    <message>
        <source>Reset to Ctrl+Alt+Space</source>
        <translation>Đặt lại Ctrl+Alt+Space</translation>
    </message>
    <message>
        <source>Reset shortcut</source>
        <translation>Đặt lại phím tắt</translation>
    </message>
    <message>
        <source>Where the desktop keeps global shortcuts to itself, bind the command “quibsum toggle” in its keyboard settings instead.</source>
        <translation>Nếu môi trường máy tính giữ phím tắt toàn cục cho riêng mình, hãy gán lệnh “quibsum toggle” trong phần cài đặt bàn phím của nó.</translation>
    </message>
    <message>
        <source>Live rates</source>
        <translation>Tỷ giá trực tuyến</translation>
    </message>
    <message>
        <source>Update Rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>How to convert currencies</source>
        <translation>Cách đổi tiền tệ</translation>
    </message>
    <message>
        <source>Support Quib Sum</source>
        <translation>Ủng hộ Quib Sum</translation>
    </message>
    <message>
        <source>Donate…</source>
        <translation>Ủng hộ…</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Cập nhật</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Kiểm tra bản mới…</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Phiên bản</translation>
    </message>
</context><context>
    <name>quibsum::SheetStore</name>
    <message>
        <source>Quick</source>
        <translation>Nhanh</translation>
    </message>
    <message>
        <source>Could not read the sheet index %1: %2</source>
        <translation>Không đọc được mục lục trang %1: %2</translation>
    </message>
    <message>
        <source>The sheet index %1 is damaged: %2</source>
        <translation>Mục lục trang %1 bị hỏng: %2</translation>
    </message>
    <message>
        <source>Could not read the sheet %1: %2</source>
        <translation>Không đọc được trang %1: %2</translation>
    </message>
    <message>
        <source>Could not add to the quick sheet: it would be larger than the %1 limit</source>
        <translation>Không thêm được vào trang nhanh: trang sẽ vượt giới hạn %1</translation>
    </message>
    <message>
        <source>Sheet %1</source>
        <translation>Trang %1</translation>
    </message>
    <message>
        <source>The quick sheet cannot be deleted.</source>
        <translation>Không thể xoá trang nhanh.</translation>
    </message>
    <message>
        <source>Could not remove the sheet %1: %2</source>
        <translation>Không xoá được trang %1: %2</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <translation>Không lưu được %1: %2</translation>
    </message>
    <message>
        <source>Could not lock the sheets with %1: %2</source>
        <translation>Không khoá được các trang bằng %1: %2</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>đây không phải tệp thường</translation>
    </message>
    <message>
        <source>Could not create the folder %1: %2</source>
        <translation>Không tạo được thư mục %1: %2</translation>
    </message>
    <message>
        <source>Could not create the folder %1: it is not a folder</source>
        <translation>Không tạo được thư mục %1: đây không phải thư mục</translation>
    </message>
    <message>
        <source>The sheet %1 is not UTF-8 text, so it is kept exactly as it is and can only be read</source>
        <translation>Trang %1 không phải văn bản UTF-8 nên được giữ nguyên và chỉ có thể đọc</translation>
    </message>
    <message>
        <source>%1 (changed elsewhere)</source>
        <translation>%1 (đã đổi ở nơi khác)</translation>
    </message>
    <message>
        <source>Another program holds the sheets' lock %1</source>
        <translation>Một chương trình khác đang giữ khoá các trang %1</translation>
    </message>
    <message>
        <source>Another program held the sheets' lock %1 for %2 s, so nothing was changed</source>
        <translation>Một chương trình khác đã giữ khoá các trang %1 suốt %2 giây nên không có gì thay đổi</translation>
    </message>
</context><context>
    <name>quibsum::SumCurrencyGuide</name>
    <message>
        <source>Fastest way: type an amount with its currency, then the currency you want, as in 100 USD VND.</source>
        <translation>Cách nhanh nhất: gõ số tiền kèm loại tiền, rồi loại tiền muốn đổi sang, như 100 USD VND.</translation>
    </message>
    <message>
        <source>Convert money</source>
        <translation>Đổi tiền</translation>
    </message>
    <message>
        <source>The currency you want, right after the amount, converts it.</source>
        <translation>Loại tiền muốn đổi, viết ngay sau số tiền, sẽ đổi số tiền đó.</translation>
    </message>
    <message>
        <source>Or put a word between them: to, in, into, sang, đổi ra, thành, qua.</source>
        <translation>Hoặc đặt một từ ở giữa: to, in, into, sang, đổi ra, thành, qua.</translation>
    </message>
    <message>
        <source>An equals sign with a question mark asks too.</source>
        <translation>Dấu bằng kèm dấu hỏi cũng là một câu hỏi.</translation>
    </message>
    <message>
        <source>An arrow works the same way.</source>
        <translation>Mũi tên cũng dùng được như vậy.</translation>
    </message>
    <message>
        <source>Ask in Vietnamese: là bao nhiêu, bằng bao nhiêu, được bao nhiêu.</source>
        <translation>Hỏi bằng tiếng Việt: là bao nhiêu, bằng bao nhiêu, được bao nhiêu.</translation>
    </message>
    <message>
        <source>A line may start with đổi or quy đổi, as you would say it.</source>
        <translation>Dòng có thể bắt đầu bằng đổi hoặc quy đổi, như khi bạn nói.</translation>
    </message>
    <message>
        <source>A variable holding money converts like the amount itself.</source>
        <translation>Biến chứa tiền được đổi như chính số tiền đó.</translation>
    </message>
    <message>
        <source>Writing amounts</source>
        <translation>Cách viết số tiền</translation>
    </message>
    <message>
        <source>Dollars: $20, 20 USD or 20 đô.</source>
        <translation>Đô la: $20, 20 USD hoặc 20 đô.</translation>
    </message>
    <message>
        <source>Euros: €50, 50 EUR or 50 euro.</source>
        <translation>Euro: €50, 50 EUR hoặc 50 euro.</translation>
    </message>
    <message>
        <source>Dong: đ, ₫, VND, vnđ or đồng.</source>
        <translation>Đồng: đ, ₫, VND, vnđ hoặc đồng.</translation>
    </message>
    <message>
        <source>Yen and pounds: ¥ and £, or JPY and GBP.</source>
        <translation>Yên và bảng: ¥ và £, hoặc JPY và GBP.</translation>
    </message>
    <message>
        <source>Any three-letter ISO code, in capitals or not.</source>
        <translation>Mọi mã ISO ba chữ cái, viết hoa hay không đều được.</translation>
    </message>
    <message>
        <source>Rates you type</source>
        <translation>Tỷ giá bạn tự nhập</translation>
    </message>
    <message>
        <source>A rate typed on its own line is used by every line below it, before the bank's.</source>
        <translation>Tỷ giá nhập trên một dòng riêng được mọi dòng bên dưới dùng, trước tỷ giá của ngân hàng.</translation>
    </message>
    <message>
        <source>Spell out both currencies when the rate is not in dong.</source>
        <translation>Ghi rõ cả hai loại tiền khi tỷ giá không tính bằng đồng.</translation>
    </message>
    <message>
        <source>Without a rate of yours, dong conversions use the Default VND rate chosen in Settings: Transfer unless you change it.</source>
        <translation>Khi bạn không nhập tỷ giá, phép đổi sang đồng dùng Tỷ giá VND mặc định chọn trong Cài đặt: Chuyển khoản nếu bạn không đổi.</translation>
    </message>
    <message>
        <source>@ gives the rate for this line only, in dong unless you name another currency.</source>
        <translation>@ cho tỷ giá của riêng dòng này, tính bằng đồng trừ khi bạn ghi loại tiền khác.</translation>
    </message>
    <message>
        <source>A rate works both ways: the inverse is used when needed.</source>
        <translation>Tỷ giá dùng được cả hai chiều: khi cần, tỷ giá nghịch đảo được dùng.</translation>
    </message>
    <message>
        <source>Buy and sell rates</source>
        <translation>Tỷ giá mua và bán</translation>
    </message>
    <message>
        <source>mua uses the bank's buy rate, bán its sell rate, for this line only.</source>
        <translation>mua dùng tỷ giá mua của ngân hàng, bán dùng tỷ giá bán, chỉ cho dòng này.</translation>
    </message>
    <message>
        <source>A line with both mua and bán uses the buy rate; when the bank has no buy or sell rate for a currency, the market rate answers.</source>
        <translation>Dòng có cả mua và bán dùng tỷ giá mua; khi ngân hàng không có tỷ giá mua hay bán cho một loại tiền, tỷ giá thị trường được dùng.</translation>
    </message>
    <message>
        <source>Number separators</source>
        <translation>Dấu phân cách số</translation>
    </message>
    <message>
        <source>With the Vietnam number style, dots group thousands and a comma marks decimals.</source>
        <translation>Với kiểu số Việt Nam, dấu chấm phân nhóm hàng nghìn và dấu phẩy đánh dấu phần thập phân.</translation>
    </message>
    <message>
        <source>With the United States number style, commas group thousands and a dot marks decimals.</source>
        <translation>Với kiểu số Hoa Kỳ, dấu phẩy phân nhóm hàng nghìn và dấu chấm đánh dấu phần thập phân.</translation>
    </message>
    <message>
        <source>Decimals take a scale word: k or nghìn, tr or triệu.</source>
        <translation>Số thập phân có thể kèm từ chỉ bậc: k hoặc nghìn, tr hoặc triệu.</translation>
    </message>
    <message>
        <source>How to convert currencies</source>
        <translation>Cách đổi tiền tệ</translation>
    </message>
    <message>
        <source>A decimal may start with its decimal mark: .5 is a half.</source>
        <translation>Số thập phân có thể bắt đầu bằng dấu thập phân: .5 là một nửa.</translation>
    </message>
</context><context>
    <name>quibsum::SumService</name>
    <message>
        <source>Quib Sum is still starting; try again in a moment.</source>
        <translation>Quib Sum đang khởi động; hãy thử lại sau giây lát.</translation>
    </message>
    <message>
        <source>the object path %1 is taken</source>
        <translation>đường dẫn đối tượng %1 đã bị chiếm</translation>
    </message>
    <message>
        <source>There is no text to append.</source>
        <translation>Không có văn bản để thêm.</translation>
    </message>
    <message>
        <source>The text is larger than the 64 MiB a sheet can hold.</source>
        <translation>Văn bản lớn hơn 64 MiB mà một trang có thể chứa.</translation>
    </message>
    <message>
        <source>The expression is longer than %1 characters.</source>
        <translation>Biểu thức dài hơn %1 ký tự.</translation>
    </message>
    <message>
        <source>The text arrived after its sender stopped waiting; it was not added.</source>
        <translation>Văn bản đến sau khi bên gửi đã thôi chờ; văn bản không được thêm.</translation>
    </message>
    <message>
        <source>No text is selected or copied.</source>
        <translation>Không có văn bản nào được chọn hay sao chép.</translation>
    </message>
    <message>
        <source>The selection is larger than the 64 MiB a sheet can hold.</source>
        <translation>Phần được chọn lớn hơn 64 MiB mà một trang có thể chứa.</translation>
    </message>
</context><context>
    <name>quibsum::SumSettings</name>
    <message>
        <source>Could not read the settings %1: it is not a regular file</source>
        <translation>Không đọc được cài đặt %1: đây không phải tệp thường</translation>
    </message>
    <message>
        <source>Could not read the settings %1: it is larger than the %2 limit. The default settings are used, and changes are not saved.</source>
        <translation>Không đọc được cài đặt %1: tệp vượt giới hạn %2. Quib Sum dùng cài đặt mặc định và không lưu các thay đổi.</translation>
    </message>
</context><context>
    <name>quibsum::SumTextView</name>
    <message>
        <source>Calculator sheet</source>
        <translation>Trang tính</translation>
    </message>
</context><context>
    <name>quibsum::SumWindow</name>
    <message>
        <source>Delete</source>
        <translation>Xoá</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Huỷ</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ẩn</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Tệp</translation>
    </message>
    <message>
        <source>New sheet</source>
        <translation>Trang mới</translation>
    </message>
    <message>
        <source>Next sheet</source>
        <translation>Trang sau</translation>
    </message>
    <message>
        <source>Previous sheet</source>
        <translation>Trang trước</translation>
    </message>
    <message>
        <source>Delete…</source>
        <translation>Xoá…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Sửa</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Hoàn tác</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cắt</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Chép</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Dán</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Chọn tất cả</translation>
    </message>
    <message>
        <source>Your changes could not be saved, so Quib Sum keeps running.

%1</source>
        <translation>Không lưu được thay đổi, nên Quib Sum vẫn tiếp tục chạy.

%1</translation>
    </message>
    <message>
        <source>Delete this sheet?</source>
        <translation>Xoá trang này?</translation>
    </message>
    <message>
        <source>This cannot be undone.</source>
        <translation>Không thể hoàn tác.</translation>
    </message>
    <message>
        <source>“%1” was changed by another program in a way that cannot be combined with your changes. Your text is saved, and the other program's text is kept as the sheet “%2”.</source>
        <translation>“%1” đã bị một chương trình khác thay đổi theo cách không gộp được với thay đổi của bạn. Văn bản của bạn đã được lưu, còn văn bản của chương trình kia được giữ thành trang “%2”.</translation>
    </message>
    <message>
        <source>No text is selected or copied.</source>
        <translation>Không có văn bản nào được chọn hay sao chép.</translation>
    </message>
</context><context>
    <name>quibsum::TotalFooter</name>
    <message>
        <source>Total:</source>
        <translation>Tổng:</translation>
    </message>
    <message>
        <source>Pin on top</source>
        <translation>Ghim trên cùng</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Cài đặt</translation>
    </message>
    <message>
        <source>Number style</source>
        <translation>Kiểu số</translation>
    </message>
    <message>
        <source>United States (1,234.5)</source>
        <translation>Hoa Kỳ (1,234.5)</translation>
    </message>
    <message>
        <source>Vietnam (1.234,5)</source>
        <translation>Việt Nam (1.234,5)</translation>
    </message>
    <message>
        <source>Default VND rate</source>
        <translation>Tỷ giá VND mặc định</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Chuyển khoản</translation>
    </message>
    <message>
        <source>Buy</source>
        <translation>Mua</translation>
    </message>
    <message>
        <source>Sell</source>
        <translation>Bán</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Giao diện</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Tối</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Sáng</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Theo hệ thống</translation>
    </message>
    <message>
        <source>Update rates</source>
        <translation>Cập nhật tỷ giá</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Cài đặt…</translation>
    </message>
    <message>
        <source>Donate…</source>
        <translation>Ủng hộ…</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Kiểm tra bản mới…</translation>
    </message>
    <message>
        <source>Quit Quib Sum</source>
        <translation>Thoát Quib Sum</translation>
    </message>
    <message>
        <source>Sum of %1 lines</source>
        <translation>Tổng của %1 dòng</translation>
    </message>
    <message>
        <source>Incompatible page units</source>
        <translation>Đơn vị trong trang không tương thích</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Đã chép</translation>
    </message>
    <message>
        <source>Copy page total</source>
        <translation>Chép tổng trang</translation>
    </message>
</context></TS>