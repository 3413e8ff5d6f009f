/**
 *  O_neil Bean
 */
public class O_neil
{
    private int id;
    private String _class;
    private BigDecimal amount;
    private String region_name;
    private Date _2nd__x__y;
    private String tab_ÉtÉ;

    public O_neil(
      int id,
      String _class,
      BigDecimal amount,
      String region_name,
      Date _2nd__x__y,
      String tab_ÉtÉ)
    {
        this.id = id;
        this._class = _class;
        this.amount = amount;
        this.region_name = region_name;
        this._2nd__x__y = _2nd__x__y;
        this.tab_ÉtÉ = tab_ÉtÉ;
    }

    public int getId()
    {
        return id;
    }

    public void setId(int id)
    {
        this.id = id;
    }

    public String get_class()
    {
        return _class;
    }

    public void set_class(String _class)
    {
        this._class = _class;
    }

    public BigDecimal getAmount()
    {
        return amount;
    }

    public void setAmount(BigDecimal amount)
    {
        this.amount = amount;
    }

    public String getRegion_name()
    {
        return region_name;
    }

    public void setRegion_name(String region_name)
    {
        this.region_name = region_name;
    }

    public Date get_2nd__x__y()
    {
        return _2nd__x__y;
    }

    public void set_2nd__x__y(Date _2nd__x__y)
    {
        this._2nd__x__y = _2nd__x__y;
    }

    public String getTab_ÉtÉ()
    {
        return tab_ÉtÉ;
    }

    public void setTab_ÉtÉ(String tab_ÉtÉ)
    {
        this.tab_ÉtÉ = tab_ÉtÉ;
    }
}
