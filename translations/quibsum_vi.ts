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
    <name>Intents</name>
    <message>
        <source>Cannot calculate this expression</source>
        <translation>Không tính được biểu thức này</translation>
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
    <name>SheetReport</name>
    <message>
        <source>Total:</source>
        <translation>Tổng:</translation>
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
</context>
<context>
    <name>SumSettings</name>
    <message>
        <source>Could not read the settings %1: it is not a regular file</source>
        <translation>Không đọc được cài đặt %1: đây không phải tệp thường</translation>
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
    <name>std</name>
    <message>
        <source>error: </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Incompatible page units</source>
        <translation>Đơn vị trong trang không tương thích</translation>
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
    <name>quibsum::Intents</name>
    <message>
        <source>Cannot calculate this expression</source>
        <translation>Không tính được biểu thức này</translation>
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
    <name>quibsum::SheetReport</name>
    <message>
        <source>Total:</source>
        <translation>Tổng:</translation>
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
</context><context>
    <name>quibsum::SumSettings</name>
    <message>
        <source>Could not read the settings %1: it is not a regular file</source>
        <translation>Không đọc được cài đặt %1: đây không phải tệp thường</translation>
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