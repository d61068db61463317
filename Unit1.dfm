object FormMain: TFormMain
  BorderStyle = bsDialog
  Caption = 'Velkarn App VersionUp Tool Ver1.0'
  ClientHeight = 202
  ClientWidth = 770
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -15
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 15
  object Label1: TLabel
    Left = 16
    Top = 16
    Width = 722
    Height = 15
    Caption = '製品版Velkarn解析ソフトがインストールされ、かつインターネット接続されたパソコンでご使用ください。'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWindowText
    Font.Height = -15
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label2: TLabel
    Left = 16
    Top = 48
    Width = 309
    Height = 15
    Caption = 'バージョンアップのためのサイトに接続します。'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWindowText
    Font.Height = -15
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object ButtonCnect: TButton
    Left = 16
    Top = 113
    Width = 75
    Height = 25
    Caption = '接続'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWindowText
    Font.Height = -15
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 0
    OnClick = ButtonCnectClick
  end
  object Label3: TLabel
    Left = 16
    Top = 80
    Width = 382
    Height = 15
    Caption = '表示された手順でバージョンアップ作業を行ってください。'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWindowText
    Font.Height = -15
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object ButtonClose: TButton
    Left = 680
    Top = 160
    Width = 75
    Height = 25
    Caption = '閉じる'
    TabOrder = 1
    OnClick = ButtonCloseClick
  end
end
