<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<!-- The engine writes its messages in Vietnamese; the English interface shows them in English. -->
<context>
    <name>EngineMessages</name>
    <message>
        <source>Tên biến không hợp lệ</source>
        <translation>Invalid variable name</translation>
    </message>
    <message>
        <source>Tỷ giá không hợp lệ</source>
        <translation>Invalid exchange rate</translation>
    </message>
    <message>
        <source>Kết quả không hợp lệ</source>
        <translation>Invalid result</translation>
    </message>
    <message>
        <source>Không cùng đơn vị đo</source>
        <translation>Units do not match</translation>
    </message>
    <message>
        <source>Chưa có tỷ giá</source>
        <translation>No exchange rate yet</translation>
    </message>
    <message>
        <source>Số mũ không hợp lệ</source>
        <translation>Invalid exponent</translation>
    </message>
    <message>
        <source>Số vượt giới hạn</source>
        <translation>Number out of range</translation>
    </message>
    <message>
        <source>Phép chia dư không hợp lệ</source>
        <translation>Invalid remainder</translation>
    </message>
    <message>
        <source>Không thể chia cho 0</source>
        <translation>Cannot divide by 0</translation>
    </message>
    <message>
        <source>Không thể nhân hai đơn vị</source>
        <translation>Cannot multiply two units</translation>
    </message>
    <message>
        <source>Thiếu tiền tệ đích</source>
        <translation>Missing target currency</translation>
    </message>
    <message>
        <source>Ngoài miền xác định</source>
        <translation>Outside the function's domain</translation>
    </message>
    <message>
        <source>Hàm cần số không có đơn vị</source>
        <translation>The function needs a number without a unit</translation>
    </message>
    <message>
        <source>Không có kết quả trước đó</source>
        <translation>No previous result</translation>
    </message>
</context>
</TS>
