#pragma once
// TSQLHighlighter: colours Oracle SQL and PL/SQL in a text document: keywords,
// strings, numbers and comments.
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class TSQLHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit TSQLHighlighter(QTextDocument *document);

    // True for the reserved and key words of Oracle SQL and PL/SQL, any case.
    static bool IsKeyword(const QString &word);

    QTextCharFormat KeywordFormat;
    QTextCharFormat StringFormat;
    QTextCharFormat NumberFormat;
    QTextCharFormat CommentFormat;

protected:
    void highlightBlock(const QString &text) override;
};
