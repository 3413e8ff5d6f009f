import java.sql.*;
import oracle.jdbc.pool.*;

/**
 *  O_neilDAO
 */
public class O_neilDAO implements <YourDAOInterface>
{
    private static String FIND_BEAN_SQL = 
        "select"
      + "  CLASS,"
      + "  AMOUNT,"
      + "  \"2ND \"\"X\"\"\\Y\","
      + "  \"TAB\011ÉTÉ\" "
      + "from"
      + "  HR.\"O'NEIL\" "
      + "where"
      + "  ID = ? and "
      + "  \"region name\" = ?";

    private static String INSERT_BEAN_SQL = 
        "insert into HR.\"O'NEIL\""
      + "  (ID,\"region name\") "
      + "values"
      + "  (?, ?)";

    private static String UPDATE_BEAN_SQL = 
        "update"
      + "  HR.\"O'NEIL\" "
      + "set"
      + "  CLASS = ?,"
      + "  AMOUNT = ?,"
      + "  \"2ND \"\"X\"\"\\Y\" = ?,"
      + "  \"TAB\011ÉTÉ\" = ? "
      + "where"
      + "  ID = ? and "
      + "  \"region name\" = ?";

    private static String DELETE_BEAN_SQL = 
        "delete "
      + "  HR.\"O'NEIL\" "
      + "where"
      + "  ID = ? and "
      + "  \"region name\" = ?";

    private OracleConnectionPoolDataSource oracleDataSource;

    public O_neilDAO()
    {
      // initialization
    }

    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)
    {
        this.oracleDataSource = oracleDataSource;
    }

    public O_neil findO_neil(int id,String region_name) throws SQLException
    {
        O_neil bean = null;

        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;
        ResultSet rs = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(FIND_BEAN_SQL);
            ps.setInt(1, id);
            ps.setString(2, region_name);
            rs = ps.executeQuery();

            if (rs.next())
            {
                bean = new O_neil();
                bean.setId(rs.getInt("ID"));
                bean.set_class(rs.getString("CLASS"));
                bean.setAmount(rs.getBigDecimal("AMOUNT"));
                bean.setRegion_name(rs.getString("region name"));
                bean.set_2nd__x__y(rs.getDate("2ND \"X\"\\Y"));
                bean.setTab_ÉtÉ(rs.getString("TAB\011ÉTÉ"));
            }
        }
        finally
        {
            try
            {
                if (rs != null)
                {
                    rs.close();
                }
            } catch(Exception e) {}

            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }

        return bean;
    }

    public void insertO_neil(int id,String region_name)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(INSERT_BEAN_SQL);
            ps.setInt(1, id);
            ps.setString(2, region_name);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void updateO_neil(
      String _class,
      BigDecimal amount,
      Date _2nd__x__y,
      String tab_ÉtÉ,
      int id,String region_name)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(UPDATE_BEAN_SQL);
            ps.setString(1, _class);
            ps.setBigDecimal(2, amount);
            ps.setDate(3, _2nd__x__y);
            ps.setString(4, tab_ÉtÉ);
            ps.setInt(5, id);
            ps.setString(6, region_name);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void deleteO_neil(int id,String region_name)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(DELETE_BEAN_SQL);
            ps.setInt(1, id);
            ps.setString(2, region_name);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }
}
