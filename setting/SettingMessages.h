// Texts that the setting-file reader writes to the parser log and the console.
//
// UTF-8 here; MessageStream::msg converts them to the sink's encoding (CP932 for the log).
// Tabs and line feeds inside a text belong to it; "no line end" texts continue the current line.
#pragma once

#include <string_view>

namespace pelorin::setting_messages {

// Log header and the reading loop.
constexpr std::string_view kLogTitle = "パーサの動作ログ";
constexpr std::string_view kLogSource = "読み込み元\t";
constexpr std::string_view kLogTime = "実行時刻\t";
constexpr std::string_view kLinePrefix = "Line:";
constexpr std::string_view kCommentTag = "\tコメント:";
constexpr std::string_view kSyntaxError = "にて構文エラー";
constexpr std::string_view kUndefinedCodeTag = "\t未定義コード:";
constexpr std::string_view kAddSwitchElement = "add switch ele\t";
constexpr std::string_view kFinishParse = "Finish Parse";
constexpr std::string_view kPartsLinkFailed = "パーツのリンクに失敗";
constexpr std::string_view kDataPortLinkFailed = "データポートのリンクに失敗";
constexpr std::string_view kParseSucceeded = "設定ファイルのパースに成功...\n";
constexpr std::string_view kLineTooLong = "\t行が長すぎます\t上限バイト数=";  // then the limit
constexpr std::string_view kNotRegularFileOpen = "設定ファイル[";             // then the path
constexpr std::string_view kNotRegularFileClose = "]は通常のファイルではありません";
constexpr std::string_view kOutOfMemory = "メモリが足りないため読み込みを中止しました";

// Entry texts of the handlers (each follows "Line:" and the line number).
constexpr std::string_view kEntryBeginParts = "\tOnBEGIN_PARTS\t";
constexpr std::string_view kEntryEndParts = "\tOnEND_PARTS\t";
constexpr std::string_view kEntryColor = "\tOnColor\t";
constexpr std::string_view kEntryBeginChild = "\tOnBEGIN_CHILD\t";
constexpr std::string_view kEntryEndChild = "\tOnEND_CHILD\t";
constexpr std::string_view kEntryBeginDrawnStl = "\tOnBEGIN_DRAWN_STL\t";
constexpr std::string_view kEntryEndDrawnStl = "\tOnEND_DRAWN_STL\t";
constexpr std::string_view kEntryTrans = "\tOnTrans\t";
constexpr std::string_view kEntryPath = "\tOnPATH\t";
constexpr std::string_view kEntryNext = "\tNEXT ";  // followed by the whole argument and a tab
constexpr std::string_view kEntryBeginDataPort = "\tOnBEGIN_DATAPORT\t";
constexpr std::string_view kEntryEndDataPort = "\tOnEnd_DATAPORT\t";
constexpr std::string_view kBeginSwitchTag = "\tOnBEGIN_SWITCH";
constexpr std::string_view kEndSwitchTag = "\tOnEND_SWTICH";  // spelt so in every stored log

// Handler messages.
constexpr std::string_view kEnterParts = "Partsモードに入ります\t";
constexpr std::string_view kPartsAdded = "を追加";
constexpr std::string_view kLeaveParts = "\t\tPARTSモードから抜けます";
constexpr std::string_view kSequenceErrorOccurred = "シーケンスエラー発生";
constexpr std::string_view kSequenceError = "シーケンスエラー";
constexpr std::string_view kBeginChildSequenceError = "OnBEGIN_CHILDにてシーケンスエラー";
constexpr std::string_view kEndSwitchSequenceError = "OnEND_SWITCHにてシーケンスエラー";
constexpr std::string_view kFormatError = "フォーマットエラー";
constexpr std::string_view kDowncastFailed = "ダウンキャストに失敗";
constexpr std::string_view kDowncastFailedNl = "ダウンキャストに失敗\n";
constexpr std::string_view kColorValues = "COLOR = ";
constexpr std::string_view kPathName = "パス名\t";
constexpr std::string_view kLeaveChild = "パス追加から抜けます";
constexpr std::string_view kEnterStl = "STLモードへ入ります\t";
constexpr std::string_view kModelName = "モデル名= ";
constexpr std::string_view kLeaveStl = "STLモードから抜けます";
constexpr std::string_view kUndefinedCode = "未定義コード";
constexpr std::string_view kTranslationCreated = "\t\t平行移動オブジェクトを生成\t";
constexpr std::string_view kRotationCreated = "\t\t回転移動オブジェクトを生成\t";
constexpr std::string_view kUndefinedSequence = "未定義シーケンス";
constexpr std::string_view kPathValue = "パス=";
constexpr std::string_view kStlOpenFailed = "STLファイルのオープンに失敗";
constexpr std::string_view kNextValue = "=";
constexpr std::string_view kEnterDataPort = "データポートリンクモードに入ります";
constexpr std::string_view kLeaveDataPort = "データポートリンクモードから抜けます";

// Warnings and refusals beyond the basic grammar.
constexpr std::string_view kWarningTag = "\t警告\t";
constexpr std::string_view kDuplicatePartsOpen = "パーツ名[";
constexpr std::string_view kDuplicatePathOpen = "パス名[";
constexpr std::string_view kDuplicateClose = "]は登録済みのため最初の定義を使います";
constexpr std::string_view kNoDrawnObject = "描画オブジェクトがありません";
constexpr std::string_view kStlTruncated = "STLファイルが途中で切れています\t期待サイズ=";
constexpr std::string_view kStlActualSize = "\t実サイズ=";
constexpr std::string_view kStlPadded =
    "STLファイルの面データの後ろに余分なバイトがあります\t期待サイズ=";
constexpr std::string_view kStlFileOpen = "STLファイル[";  // then the path
constexpr std::string_view kStlNotRegularClose = "]は通常のファイルではありません";
constexpr std::string_view kStlLineAt = "]の";  // then the line number
constexpr std::string_view kStlLineTooLong = "行目が長すぎます\t上限バイト数=";
constexpr std::string_view kStlOutOfMemory = "]を読むメモリが足りません\t面数=";
// A mesh file that gave no facet: the path, then what the file looks like.
constexpr std::string_view kStlNoFacets = "]に面がありません\t";
constexpr std::string_view kStlLooksEmpty = "空のファイルです";
constexpr std::string_view kStlLooksLfsPointer =
    "Git LFSのポインタファイルです(git lfs pullで中身を取得してください)";
constexpr std::string_view kStlLooksXml = "XML文書です(STLではありません)";
constexpr std::string_view kStlLooksText = "面のないテキストです";
constexpr std::string_view kStlLooksBinary = "面数0のバイナリSTLです";

// Parts link.
constexpr std::string_view kLinkStart = "リンク開始";
constexpr std::string_view kNoParts = "パーツが一つもありません";
constexpr std::string_view kRootMissing = "ROOTが見つかりません";
constexpr std::string_view kLinkTarget = "ターゲット=";
constexpr std::string_view kChildCount = "子の数\t";
constexpr std::string_view kChildName = "\t子の名前\t";
constexpr std::string_view kChildHit = "\tHIT!";
constexpr std::string_view kChildMiss = "\tMISS!!";
constexpr std::string_view kLinkSucceeded = "リンク成功";
constexpr std::string_view kCycleFound = "出力パスが循環しています\t";
constexpr std::string_view kCycleArrow = " -> ";
constexpr std::string_view kTooManyBodies = "ROOTから描く部品の数が多すぎます\t上限=";

// Data-port link.
constexpr std::string_view kDataPortLinkStart = "データポートとのリンクを開始";
constexpr std::string_view kDataPortTarget = "target =";
constexpr std::string_view kTooFewSeparators = "区切りの数が足りません";
constexpr std::string_view kLookingForParts = "パーツ名";
constexpr std::string_view kLookingForSuffix = "を探します\n";
constexpr std::string_view kPartsMissingOpen = "パーツ名[";
constexpr std::string_view kNotFoundClose = "]が見つかりません";
constexpr std::string_view kFound = "見つかりました";
constexpr std::string_view kElementMissingOpen = "識別名[";
constexpr std::string_view kNotFoundNl = "が見つかりません\n";
constexpr std::string_view kLookingForTranslation = "平行移動行列 ";

}  // namespace pelorin::setting_messages
